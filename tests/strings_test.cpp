// The string table: line entries and [name/] blocks read from CR LF files, the order that
// numbered entries rely on, and safe answers for names that are missing.
#include <gtest/gtest.h>

#include <string>

#include "app/resource_store.h"
#include "app/strings.h"
#include "platform/files.h"
#include "test_support.h"

using testing_support::FatalError;
using testing_support::FatalGuard;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

class Strings : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::currentDir();
        ASSERT_TRUE(platform::changeDir(dir_.str().c_str()));
        resetResourceStore();
        freeStrings();
    }
    void TearDown() override {
        freeStrings();
        resetResourceStore();
        platform::changeDir(previous_.c_str());
    }
    void load(const std::string& name, const std::string& content) {
        writeFile(dir_ / name, content);
        loadStrings(name.c_str());
    }
    TempDir dir_;
    std::string previous_;
};

TEST_F(Strings, LineEntryRunsToTheLineEnd) {
    load("strings2.txt", "a=b\r\nkeytoresume=Press any key\r\n  spaced = x \r\n");
    EXPECT_STREQ(lookupText("a"), "b");
    EXPECT_STREQ(lookupText("keytoresume"), "Press any key");
    EXPECT_STREQ(lookupText("spaced "), " x ");
    EXPECT_EQ(stringCount(), 3);
    EXPECT_EQ(resourceCount(), 0) << "the file is given back to the store";
}

TEST_F(Strings, SingleControlBytesStayInTheText) {
    load("strings2.txt", "t=a\tb\rc\r\nnext=n\r\n");
    EXPECT_STREQ(lookupText("t"), "a\tb\rc");
    EXPECT_STREQ(lookupText("next"), "n");
}

TEST_F(Strings, BlockKeepsItsInnerLineEnds) {
    load("strings2.txt", "[credits/]\r\nfirst\r\nsecond\r\nthird[/credits]\r\nafter=1\r\n");
    EXPECT_STREQ(lookupText("credits"), "first\r\nsecond\r\nthird");
    EXPECT_STREQ(lookupText("after"), "1");
}

TEST_F(Strings, BlockTextRunsUpToTheClosingBracket) {
    load("strings2.txt", "[help/]\r\n\r\nline\r\n[/help]\r\n[x/]y[/other]z=1\r\n");
    EXPECT_STREQ(lookupText("help"), "line\r\n") << "line ends right after the opening are skipped";
    EXPECT_STREQ(lookupText("x"), "y") << "the closing name is not compared";
    EXPECT_STREQ(lookupText("z"), "1");
}

TEST_F(Strings, BlankAfterTheOpeningBecomesTheFirstCharacter) {
    load("strings2.txt", "[intro/] Hello\r\n[/intro]\r\n");
    EXPECT_STREQ(lookupText("intro"), " Hello\r\n");
}

TEST_F(Strings, LastByteOfTheFileIsIgnored) {
    load("strings2.txt", "a=1\r\nb=2");
    EXPECT_STREQ(lookupText("a"), "1");
    EXPECT_STREQ(lookupText("b"), "") << "an entry without its line end is dropped";
    EXPECT_EQ(stringCount(), 1);
}

TEST_F(Strings, CutEntriesEndTheFileButKeepWhatCameBefore) {
    load("strings2.txt", "a=1\r\n[open/]never closed\r\n");
    EXPECT_EQ(stringCount(), 1);
    freeStrings();
    load("tips2.txt", "a=1\r\nnoequals\r\n");
    EXPECT_EQ(stringCount(), 1);
    freeStrings();
    load("strings2.txt", "a=1\r\n[name without end");
    EXPECT_EQ(stringCount(), 1);
}

TEST_F(Strings, TablesAppendInLoadOrderAndPositionsCountOn) {
    load("strings2.txt", "hallo=Hi %s\r\ndefname1=Ann\r\ndefname2=Bob\r\n");
    load("tips2.txt", "tip1=one\r\ntip2=two\r\ntip3=three\r\nother=x\r\ngametip1=g\r\ngametip2=h\r\n");
    EXPECT_EQ(stringCount(), 9);
    int tip = indexOfName("tip1");
    EXPECT_EQ(tip, 3);
    EXPECT_STREQ(textAt(tip + 2), "three");
    EXPECT_STREQ(nameAt(tip + 2), "tip3");
    EXPECT_EQ(numberedRunLength("tip"), 3);
    EXPECT_EQ(numberedRunLength("gametip"), 2);
    EXPECT_EQ(numberedRunLength("defname"), 2);
    EXPECT_EQ(numberedRunLength("nothing"), 0);
}

TEST_F(Strings, MissingNamesAndPositionsGiveEmptyTexts) {
    load("strings2.txt", "first=1\r\nsecond=2\r\n");
    ASSERT_NE(lookupText("third"), nullptr);
    EXPECT_STREQ(lookupText("third"), "");
    EXPECT_STREQ(lookupText("First"), "") << "names are compared with their case";
    EXPECT_STREQ(lookupText(nullptr), "");
    EXPECT_EQ(indexOfName("third"), 0);
    EXPECT_EQ(indexOfName("second"), 1);
    EXPECT_STREQ(textAt(2), "");
    EXPECT_STREQ(textAt(-1), "");
    EXPECT_STREQ(textAt(1000000), "");
}

TEST_F(Strings, LongNamesAreCutTo19Characters) {
    load("strings2.txt", "abcdefghijklmnopqrstuvwxyz=long\r\n");
    EXPECT_STREQ(lookupText("abcdefghijklmnopqrs"), "long");
    EXPECT_STREQ(lookupText("abcdefghijklmnopqrstuvwxyz"), "");
}

TEST_F(Strings, TableRefusesEntriesPastItsCapacity) {
    std::string text;
    // append rather than "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter
    for (int i = 0; i < kStringCapacity + 10; ++i) text.append("s").append(std::to_string(i)).append("=v").append(std::to_string(i)).append("\r\n");
    load("strings2.txt", text);
    EXPECT_EQ(stringCount(), kStringCapacity);
    EXPECT_STREQ(lookupText("s1023"), "v1023");
    EXPECT_STREQ(lookupText("s1024"), "");
}

TEST_F(Strings, MissingStringsFileStopsWithTheLoadingMessage) {
    FatalGuard guard;
    try {
        loadStrings("strings2.txt");
        FAIL() << "a missing strings file must stop the program";
    } catch (const FatalError& e) {
        EXPECT_STREQ(e.what(), "Can't load strings2.txt...\nProgram will now stop.");
        EXPECT_EQ(e.caption, "Loading Error");
    }
}

TEST_F(Strings, EmptyOrTinyFilesHoldNothing) {
    load("strings2.txt", "");
    EXPECT_EQ(stringCount(), 0);
    load("tips2.txt", "\n");
    EXPECT_EQ(stringCount(), 0);
    EXPECT_EQ(parseStrings(nullptr, 10), 0);
}

}  // namespace
