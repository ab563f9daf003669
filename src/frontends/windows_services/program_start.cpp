#include "frontends/windows_services/program_start.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/files/ox_path.h"
#include "base/text/ox_unicode.h"
#include "base/text/ox_wide_text_win.h"
#include "base/diagnostics/ox_windows_error_win.h"

namespace frontends::windows_services {
namespace {

// The standard handles that can be passed on, each once.
std::vector<HANDLE> InheritableStandardHandles() {
  std::vector<HANDLE> handles;
  for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = GetStdHandle(which);
    DWORD flags = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetHandleInformation(handle, &flags)) continue;
    if (std::find(handles.begin(), handles.end(), handle) != handles.end()) continue;
    if ((flags & HANDLE_FLAG_INHERIT) == 0 && !SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
      continue;
    }
    handles.push_back(handle);
  }
  return handles;
}

// A process attribute list that limits inheritance to `handles`.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    if (handles_.empty()) return;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    initialised_ = true;
    if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                  handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      list_ = list;
    }
  }
  ~InheritedHandles() {
    if (initialised_) DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data()));
  }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;

  // Null when nothing can be inherited safely: the program then gets none.
  LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<char> storage_;
  bool initialised_ = false;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

std::wstring CommandLineOf(const std::wstring& program, const std::wstring& parameters) {
  std::wstring line = L"\"" + program + L"\"";
  if (!parameters.empty()) line += L" " + parameters;
  return line;
}

bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem) {
  const std::string path = ox_base::NativePath(program);
  if (path.empty()) {
    problem = "no program name";
    return false;
  }
  std::wstring relative = ox_base::WideFromUtf8(path);
  std::replace(relative.begin(), relative.end(), L'/', L'\\');
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(relative.c_str(), MAX_PATH * 4, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 4) {
    problem = path + " has no full path (" + ox_base::WindowsErrorText(GetLastError()) + ")";
    return false;
  }
  const std::wstring application(full, length);
  std::wstring commandLine =
      CommandLineOf(application, ox_base::WideFromUtf8(ox_base::CodePageToUtf8(parameters, codePage)));

  const InheritedHandles inherited(InheritableStandardHandles());
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  DWORD flags = 0;
  if (inherited.List() != nullptr) {
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.StartupInfo.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.StartupInfo.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.lpAttributeList = inherited.List();
    flags |= EXTENDED_STARTUPINFO_PRESENT;
  }
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, inherited.List() != nullptr, flags,
                      nullptr, nullptr, &startup.StartupInfo, &started)) {
    problem = path + " could not be started (" + ox_base::WindowsErrorText(GetLastError()) + ")";
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace frontends::windows_services
