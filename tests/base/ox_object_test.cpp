#include "base/objects/ox_object.h"

#include <gtest/gtest.h>

#include "base/diagnostics/ox_assert.h"
#include "base/events/ox_event.h"

using namespace ox_base;

namespace {

OxEvent g_evFeed("TestFeed", "d");
OxEvent g_evSleep("TestSleep", nullptr);

class Animal : public OxObject {
 public:
  void OnFeed(const void*) {}
  void OnSleep(const void*) {}
  static OxClassInfo s_classInfo;
};
class Cat : public Animal {
 public:
  void OnFeed(const void*) {}
  static OxClassInfo s_classInfo;
};
class Dog : public Animal {
 public:
  static OxClassInfo s_classInfo;
};
class Kitten : public Cat {
 public:
  const OxClassInfo* GetClassInfo() const override { return &s_classInfo; }
  static OxClassInfo s_classInfo;
};

const OxEventMapEntry kAnimalMap[] = {
    {&g_evFeed, static_cast<OxEventHandler>(&Animal::OnFeed)},
    {&g_evSleep, static_cast<OxEventHandler>(&Animal::OnSleep)},
    {nullptr, nullptr},
};
const OxEventMapEntry kCatMap[] = {
    {&g_evFeed, static_cast<OxEventHandler>(&Cat::OnFeed)},
    {nullptr, nullptr},
};
const OxEventMapEntry kEmptyMap[] = {{nullptr, nullptr}};

OxClassInfo Animal::s_classInfo("Animal", 0, sizeof(Animal), nullptr, &OxObject::s_classInfo, kAnimalMap);
OxClassInfo Cat::s_classInfo("Cat", 12, sizeof(Cat), nullptr, &Animal::s_classInfo, kCatMap);
OxClassInfo Dog::s_classInfo("Dog", 0, sizeof(Dog), nullptr, &Animal::s_classInfo, nullptr);
OxClassInfo Kitten::s_classInfo("Kitten", 7, sizeof(Kitten), [] { return static_cast<OxObject*>(new Kitten); },
                                &Cat::s_classInfo, kEmptyMap);

std::vector<std::string> Names(const std::vector<OxClassInfo*>& classes) {
  std::vector<std::string> names;
  for (const OxClassInfo* info : classes) names.push_back(info->GetName());
  return names;
}

class Registry : public testing::Test {
 protected:
  void TearDown() override { OxClassInfo::ReleaseClasses(); }
};

}  // namespace

TEST_F(Registry, FinalisingBuildsIndexesInPreOrder) {
  EXPECT_EQ(OxClassInfo::FindClass("Dog"), &Dog::s_classInfo) << "linear search before finalising";
  OxClassInfo::FinalizeClasses();
  EXPECT_TRUE(OxClassInfo::IsFinalized());
  EXPECT_EQ(Names(OxClassInfo::GetClasses()),
            (std::vector<std::string>{"Animal", "Cat", "Dog", "Kitten", "OxEngine", "OxObject"}));
  EXPECT_EQ(OxObject::s_classInfo.GetIndex(), 0);
  EXPECT_EQ(Animal::s_classInfo.GetIndex(), 1);
  EXPECT_EQ(Cat::s_classInfo.GetIndex(), 2);
  EXPECT_EQ(Kitten::s_classInfo.GetIndex(), 3);
  EXPECT_EQ(Dog::s_classInfo.GetIndex(), 4);
  EXPECT_EQ(OxClassInfo::FindClass("OxEngine")->GetIndex(), 5);
  EXPECT_EQ(OxObject::s_classInfo.GetDescendantCount(), 5);
  EXPECT_EQ(Animal::s_classInfo.GetDescendantCount(), 3);
  EXPECT_EQ(Kitten::s_classInfo.GetDescendantCount(), 0);

  EXPECT_EQ(OxClassInfo::FindClass("Kitten"), &Kitten::s_classInfo);
  EXPECT_EQ(OxClassInfo::FindClass("kitten"), nullptr) << "names are exact";
  EXPECT_EQ(OxClassInfo::FindClass("Zebra"), nullptr);
  EXPECT_EQ(OxClassInfo::FindClassById(7), &Kitten::s_classInfo);
  EXPECT_EQ(OxClassInfo::FindClassById(12), &Cat::s_classInfo);
  EXPECT_EQ(OxClassInfo::FindClassById(3), nullptr);

  OxClassInfo::FinalizeClasses();
  EXPECT_EQ(Kitten::s_classInfo.GetIndex(), 3) << "a second call changes nothing";
  OxClassInfo::ReleaseClasses();
  EXPECT_FALSE(OxClassInfo::IsFinalized());
  OxClassInfo::FinalizeClasses();
  EXPECT_EQ(OxObject::s_classInfo.GetDescendantCount(), 5) << "finalising again after a release";
}

TEST_F(Registry, HandlerTablesMergeWithPrecedence) {
  OxClassInfo::FinalizeClasses();
  int feed = g_evFeed.GetNumber();
  int sleep = g_evSleep.GetNumber();
  EXPECT_TRUE(Animal::s_classInfo.GetHandler(feed) == static_cast<OxEventHandler>(&Animal::OnFeed));
  EXPECT_TRUE(Animal::s_classInfo.GetHandler(sleep) == static_cast<OxEventHandler>(&Animal::OnSleep));
  EXPECT_TRUE(Cat::s_classInfo.GetHandler(feed) == static_cast<OxEventHandler>(&Cat::OnFeed)) << "own handler wins";
  EXPECT_TRUE(Cat::s_classInfo.GetHandler(sleep) == static_cast<OxEventHandler>(&Animal::OnSleep));
  EXPECT_TRUE(Cat::s_classInfo.OwnsHandlerTable());
  EXPECT_FALSE(Dog::s_classInfo.OwnsHandlerTable());
  EXPECT_EQ(Dog::s_classInfo.GetHandlerTable(), Animal::s_classInfo.GetHandlerTable()) << "shared with the parent";
  EXPECT_EQ(Kitten::s_classInfo.GetHandlerTable(), Cat::s_classInfo.GetHandlerTable()) << "an empty map shares too";
  EXPECT_TRUE(OxObject::s_classInfo.GetHandler(feed) == nullptr);
  EXPECT_TRUE(Cat::s_classInfo.GetHandler(OxEvent::GetDefinitionCount()) == nullptr);
}

TEST_F(Registry, CreatingObjects) {
  OxClassInfo::FinalizeClasses();
  std::unique_ptr<OxObject> kitten(OxClassInfo::CreateObject(OxClassInfo::FindClass("Kitten")));
  ASSERT_NE(kitten, nullptr);
  EXPECT_EQ(kitten->GetClassInfo(), &Kitten::s_classInfo);
  std::unique_ptr<OxObject> object(OxClassInfo::CreateObject(&OxObject::s_classInfo));
  ASSERT_NE(object, nullptr);
  EXPECT_STREQ(object->GetClassInfo()->GetName(), "OxObject");
  EXPECT_EQ(OxClassInfo::CreateObject(&Dog::s_classInfo), nullptr) << "no create function";
  EXPECT_EQ(OxClassInfo::CreateObject(nullptr), nullptr);
}

TEST_F(Registry, UnregisteredEventInAMapIsAnAssertion) {
  SetAssertChoice(OxAssertChoice::kIgnore);
  static OxEvent broken("TestBroken", "z");  // refused: its number stays -1
  static const OxEventMapEntry brokenMap[] = {{&broken, static_cast<OxEventHandler>(&Animal::OnFeed)}, {nullptr, nullptr}};
  static OxClassInfo brokenClass("Broken", 0, sizeof(Animal), nullptr, &Animal::s_classInfo, brokenMap);
  try {
    OxClassInfo::FinalizeClasses();
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("File: 'dlls/base/ox_object'"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("Assert: ev>=0 && ev<num\n"), std::string::npos);
  }
}
