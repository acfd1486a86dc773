// Filling templates from the string table: well-formed texts come out as sprintf makes them;
// damaged or translated ones never reach printf as a format.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/text_format.h"

namespace {

std::string fill(const char* templ, std::initializer_list<FormatArg> args, size_t capacity = 256) {
    std::string out(capacity, '\x7F');
    int n = formatText(out.data(), capacity, templ, args.begin(), static_cast<int>(args.size()));
    EXPECT_EQ(static_cast<size_t>(n), std::strlen(out.c_str()));
    return std::string(out.c_str());
}

TEST(TextFormat, WellFormedNumberTemplatesMatchSprintf) {
    // Every template takes two ints; printf ignores the ones a template does not use.
    const char* templates[] = {"%.2i:%.2i", "%d points", "%5d|%-5d|", "%+d %05i", "%.3d", "% d", "%i%%", "%-+4d|"};
    for (const char* t : templates) {
        char expected[128];
        std::snprintf(expected, sizeof expected, t, 5, 7);
        EXPECT_EQ(fill(t, {intArg(5), intArg(7)}), expected) << t;
    }
    EXPECT_EQ(fill("%ld,%hd,%lli", {intArg(5), intArg(7), intArg(9)}), "5,7,9") << "length modifiers change nothing";
    EXPECT_EQ(fill("%.2i:%.2i", {intArg(3), intArg(45)}), "03:45");
    EXPECT_EQ(fill("%d", {intArg(-2147483647 - 1)}), "-2147483648");
    EXPECT_EQ(fill("%u", {intArg(-1)}), "4294967295") << "an int shown with %u, as printf shows it";
}

TEST(TextFormat, NameTemplatesMatchSprintf) {
    EXPECT_EQ(fill("Hello, %s!", {textArg("Anna")}), "Hello, Anna!");
    EXPECT_EQ(fill("[%6s][%-6s][%.2s]", {textArg("ab"), textArg("cd"), textArg("efgh")}), "[    ab][cd    ][ef]");
    EXPECT_EQ(fill("<%s>", {textArg(nullptr)}), "<>");
}

TEST(TextFormat, HostileTemplateWithAnIntIsHarmless) {
    EXPECT_EQ(fill("%s %n %i%", {intArg(250)}), "%s %n 250%");
    EXPECT_EQ(fill("%p %x %f %c %*d %", {intArg(1)}), "%p %x %f %c %*d %");
    EXPECT_EQ(fill("100%", {}), "100%");
    EXPECT_EQ(fill("%", {}), "%");
    EXPECT_EQ(fill("%-", {}), "%-");
}

TEST(TextFormat, SurplusDirectivesAreCopiedAndSurplusArgumentsIgnored) {
    EXPECT_EQ(fill("%i and %i", {intArg(5)}), "5 and %i");
    EXPECT_EQ(fill("%s", {}), "%s");
    EXPECT_EQ(fill("just text", {intArg(1), textArg("x")}), "just text");
}

TEST(TextFormat, EachKindTakesItsOwnArgumentsInOrder) {
    // A translation that puts the name after the number still gets both right.
    EXPECT_EQ(fill("%i points for %s", {textArg("Bob"), intArg(250)}), "250 points for Bob");
    EXPECT_EQ(fill("Level %i: %i", {intArg(12), intArg(34500)}), "Level 12: 34500");
}

TEST(TextFormat, HugeWidthsAreNotFollowed) {
    EXPECT_EQ(fill("%99999999999999999999i!", {intArg(1)}), "%99999999999999999999i!");
    EXPECT_EQ(fill("%.100000s", {textArg("x")}), "%.100000s");
    EXPECT_EQ(fill("%512i", {intArg(1)}, 1024).size(), 512u);
}

TEST(TextFormat, OutputIsCutToItsCapacity) {
    EXPECT_EQ(fill("%s and more", {textArg("a long name")}, 8), "a long ");
    EXPECT_EQ(fill("%.2i:%.2i", {intArg(5), intArg(7)}, 4), "05:");
    EXPECT_EQ(fill("abc", {}, 1), "");
    char untouched[2] = {'u', 'v'};
    EXPECT_EQ(formatText(untouched, 0, "abc", nullptr, 0), 0);
    EXPECT_EQ(untouched[0], 'u');

    std::string longName(3000, 'n');
    std::string out(4096, '\0');
    int n = formatText(out.data(), out.size(), "<%s>", std::initializer_list<FormatArg>{textArg(longName.c_str())}.begin(), 1);
    EXPECT_EQ(n, 3002);
    EXPECT_EQ(std::string(out.c_str()), "<" + longName + ">");
    n = formatText(out.data(), 100, "<%s>", std::initializer_list<FormatArg>{textArg(longName.c_str())}.begin(), 1);
    EXPECT_EQ(n, 99);
    EXPECT_EQ(out[99], '\0');
}

TEST(TextFormat, TypedWrapperBuildsTheArguments) {
    char out[64];
    formatWith(out, sizeof out, "%s saved level %i with %i", "Anna", 12, 34500);
    EXPECT_STREQ(out, "Anna saved level 12 with 34500");
    formatWith(out, sizeof out, "no arguments %d");
    EXPECT_STREQ(out, "no arguments %d");
}

}  // namespace
