// Reading MSVC's run-time type information from another module's objects:
// the class name when the table carries a valid locator, nothing (and no
// fault) when it does not.
#include "plugin/msvc_rtti.h"

#include "plugin/fake_type_module.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using qm::plugin::RuntimeClassName;
using qm::plugin::UndecorateClassName;
using qmtest::FakeModule;

TEST(UndecorateClassName, PrintsNamespacesInReverseWithTheKindOfClass) {
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@@"), "class hdt::FreezeEventHandler");
  EXPECT_EQ(UndecorateClassName(".?AVInner@Outer@ns@@"), "class ns::Outer::Inner");
  EXPECT_EQ(UndecorateClassName(".?AUPoint@@"), "struct Point");
}

TEST(UndecorateClassName, RefusesTemplatesBackReferencesAndMalformedNames) {
  EXPECT_EQ(UndecorateClassName(".?AV?$BSTEventSink@VMenuOpenCloseEvent@@@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AV0Handler@hdt@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AVHandler@9hdt@@"), "");  // 9, the last back-reference digit
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@"), "");
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler@hdt@@x"), "");
  EXPECT_EQ(UndecorateClassName(".?AVFreezeEventHandler"), "");
  EXPECT_EQ(UndecorateClassName("?AVFreezeEventHandler@hdt@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AW4Kind@@"), "");
  EXPECT_EQ(UndecorateClassName(".?AV@@"), "");
  EXPECT_EQ(UndecorateClassName(""), "");
}


TEST(RuntimeClassName, ReadsTheNameThroughAValidLocator) {
  FakeModule module(".?AVFreezeEventHandler@hdt@@");
  EXPECT_EQ(RuntimeClassName(module.object()), "class hdt::FreezeEventHandler");
}

TEST(RuntimeClassName, GivesNothingForTablesWithoutAValidLocator) {
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator, 0);  // signature
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.SetSlotBeforeTable(0);
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.SetSlotBeforeTable(0x10);  // nothing is mapped there
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kBaseClass, FakeModule::kHierarchy);  // hierarchy names another type
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator + 0x14, 0xFFFFFFF0u);  // its own offset does not match
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  // Every offset the walk follows, zeroed in turn, ends it.
  for (const std::size_t field :
       {FakeModule::kLocator + 0x0C, FakeModule::kLocator + 0x10, FakeModule::kHierarchy + 0x08,
        FakeModule::kHierarchy + 0x0C, FakeModule::kBaseArray}) {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(field, 0);
    EXPECT_EQ(RuntimeClassName(module.object()), "") << "offset 0x" << std::hex << field << " zeroed";
  }
  // Offset 0 is the image's header, never a descriptor: each offset the walk
  // follows is refused at 0 even when the bytes there would fit.
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator + 0x10, 0);  // the hierarchy...
    module.Put32(0x08, 1);                         // ...as if it lay at 0
    module.Put32(0x0C, FakeModule::kBaseArray);
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kHierarchy + 0x0C, 0);  // the base array
    module.Put32(0x00, FakeModule::kBaseClass);
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kBaseArray, 0);  // the first base's descriptor
    module.Put32(0x00, FakeModule::kDescriptor);
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  {
    // A type descriptor at offset 0 is refused even when the hierarchy agrees
    // and a name lies there.
    FakeModule module(".?AVFreezeEventHandler@hdt@@");
    module.Put32(FakeModule::kLocator + 0x0C, 0);
    module.Put32(FakeModule::kBaseClass, 0);
    module.PutName(0x10, ".?AVWrong@@");
    EXPECT_EQ(RuntimeClassName(module.object()), "");
  }
  const std::uintptr_t tinyTable = 4;  // a table address below one slot has no slot before it
  EXPECT_EQ(RuntimeClassName(&tinyTable), "");
  EXPECT_EQ(RuntimeClassName(nullptr), "");
}

}  // namespace
