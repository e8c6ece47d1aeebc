#include "utilities/ZUL_Exception.h"
#include "utilities/ZUL_LogMacros.h"

#include <gtest/gtest.h>

#include <regex>
#include <vector>

TEST(ZulFailure, CarriesEveryFieldAndCopiesDeeply) {
    ZUL_Failure inner(ZUL_Code(7), "[inner] ", "disk full");
    ZUL_Failure outer(ZUL_Code(), "[outer] ", "cannot write", inner.Clone());

    EXPECT_STREQ(outer.what(), "cannot write");
    EXPECT_EQ(outer.GetMessage(), "cannot write");
    EXPECT_EQ(outer.GetLogPrefix(), "[outer] ");
    EXPECT_STREQ(outer.GetClassName(), "ZUL_Failure");
    EXPECT_EQ(outer.GetExitCode(), -14);
    EXPECT_EQ(inner.GetExitCode(), -1);
    ASSERT_NE(outer.GetCause(), nullptr);
    EXPECT_EQ(outer.GetCause()->GetMessage(), "disk full");
    EXPECT_EQ(outer.GetCause()->GetCode().value(), 7);
#if defined(__GLIBC__)
    EXPECT_FALSE(outer.GetBacktrace().empty());
#endif

    const ZUL_Failure copy(outer);
    ASSERT_NE(copy.GetCause(), nullptr);
    EXPECT_NE(copy.GetCause(), outer.GetCause());
    EXPECT_EQ(copy.GetCause()->GetMessage(), "disk full");
    EXPECT_EQ(copy.GetBacktrace(), outer.GetBacktrace());

    const auto clone = outer.Clone();
    EXPECT_EQ(clone->GetMessage(), "cannot write");
    EXPECT_STREQ(clone->GetClassName(), "ZUL_Failure");
    EXPECT_NE(clone->GetCause(), outer.GetCause());
}

// The message and the prefix are virtual, so a derived failure can word them and callers that
// hold the base see its wording.
TEST(ZulFailure, DerivedFailuresWordTheirOwnMessage) {
    struct Localised : ZUL_Failure {
        using ZUL_Failure::ZUL_Failure;
        const std::string& GetMessage() const override { return text; }
        const std::string& GetLogPrefix() const override { return text; }
        std::string text = "localised";
    };
    const Localised failure(ZUL_Code(), "[p] ", "plain");
    const ZUL_Exception& base = failure;
    EXPECT_EQ(base.GetMessage(), "localised");
    EXPECT_EQ(base.GetLogPrefix(), "localised");
}

TEST(ZulLog, SinkReceivesWarningsAndDefaultFormatIsOneLine) {
    std::vector<ZUL_LogMacros::LogRecord> seen;
    const auto previous = ZUL_LogMacros::set_sink(
        [&](const ZUL_LogMacros::LogRecord& record) { seen.push_back(record); });
    ZUL_LogMacros::warning("src/x.h", 12, "[%n|LIB] ", "first\nsecond");
    ZUL_LogMacros::set_sink(previous);

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].severity, "WARNING");
    EXPECT_EQ(seen[0].file, "src/x.h");
    EXPECT_EQ(seen[0].line, 12);
    EXPECT_EQ(seen[0].message, "first\nsecond");
    EXPECT_EQ(ZUL_LogMacros::format_line(seen[0]), "[WARNING|LIB] first second (src/x.h:12)");

    const ZUL_LogMacros::LogRecord timed{"WARNING", "f", 1, "%T %P %x", "m"};
    const std::string line = ZUL_LogMacros::format_line(timed);
    EXPECT_TRUE(
        std::regex_match(line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d+ %xm \(f:1\))")))
        << line;
}
