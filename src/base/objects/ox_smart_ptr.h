#pragma once
// The base library's shared owning pointer. The count lives in a separate
// counter object so that a pointer to an incomplete or abstract type can be
// shared. Counts are atomic: logs and outputs are shared between threads, and
// a lost decrement would free an object that is still in use.
#include <atomic>

namespace ox_base {

template <class T>
class IRefCount {
 public:
  virtual void AddRef() = 0;
  // Drops one reference; the last one destroys the pointee and the counter.
  virtual void Release() = 0;
  virtual T* Get() const = 0;

 protected:
  virtual void Destroy() = 0;
  virtual ~IRefCount() = default;
};

template <class T>
class IRefCountImpl final : public IRefCount<T> {
 public:
  explicit IRefCountImpl(T* object) : m_pObject(object) {}

  void AddRef() override { m_count.fetch_add(1, std::memory_order_relaxed); }
  void Release() override {
    if (m_count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      delete m_pObject;
      Destroy();
    }
  }
  T* Get() const override { return m_pObject; }

 protected:
  void Destroy() override { delete this; }

 private:
  std::atomic<int> m_count{0};
  T* m_pObject;
};

template <class T>
class SmartPtr {
 public:
  SmartPtr() = default;
  // Takes ownership of a new object (null gives an empty pointer).
  explicit SmartPtr(T* object) {
    if (object) Assign(new IRefCountImpl<T>(object));
  }
  SmartPtr(const SmartPtr& other) { Assign(other.m_pRef); }
  SmartPtr(SmartPtr&& other) noexcept : m_pRef(other.m_pRef) { other.m_pRef = nullptr; }
  ~SmartPtr() { Reset(); }

  SmartPtr& operator=(const SmartPtr& other) {
    if (other.m_pRef != m_pRef) {
      IRefCount<T>* old = m_pRef;
      m_pRef = nullptr;
      Assign(other.m_pRef);
      if (old) old->Release();
    }
    return *this;
  }
  SmartPtr& operator=(SmartPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      m_pRef = other.m_pRef;
      other.m_pRef = nullptr;
    }
    return *this;
  }

  void Reset() {
    if (m_pRef) {
      IRefCount<T>* old = m_pRef;
      m_pRef = nullptr;
      old->Release();
    }
  }

  T* Get() const { return m_pRef ? m_pRef->Get() : nullptr; }
  T* operator->() const { return Get(); }
  T& operator*() const { return *Get(); }
  explicit operator bool() const { return m_pRef != nullptr; }
  bool operator==(const SmartPtr& other) const { return Get() == other.Get(); }
  bool operator!=(const SmartPtr& other) const { return Get() != other.Get(); }

 private:
  void Assign(IRefCount<T>* ref) {
    m_pRef = ref;
    if (m_pRef) m_pRef->AddRef();
  }

  IRefCount<T>* m_pRef = nullptr;
};

}  // namespace ox_base
