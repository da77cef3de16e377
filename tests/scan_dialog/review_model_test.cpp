// The review's rows, ticks, selection line and what it hands the fix and the ignore list.
#include "scan_dialog/review_model.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void Add(RegErrorLogList& findings, const char* category, const char* kind, const std::string& keyPath,
         const std::string& valueName = "", const std::string& missing = "") {
    auto finding = std::make_unique<CRegErrorLog>();
    finding->SetCategory(category);
    finding->SetKind(kind);
    finding->SetKeyPath(keyPath);
    finding->SetMissingFile(missing);
    if (!valueName.empty()) {
        auto value = std::make_unique<CRegValue>();
        value->m_strName = valueName;
        finding->SetValue(std::move(value));
    }
    findings.push_back(std::move(finding));
}

class ReviewModelTest : public ::testing::Test {
protected:
    ReviewModelTest() {
        Add(findings, kCategoryCLSID, kKindKey, "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{1}",
            "(Default)", "C:\\gone\\a.dll");
        Add(findings, kCategoryProgID, kKindKey, "HKEY_LOCAL_MACHINE\\Software\\Classes\\A.1");
        Add(findings, kCategoryFont, kKindValue, "HKEY_LOCAL_MACHINE\\Fonts", "Arial",
            "C:\\Fonts\\arial.ttf");
        Add(findings, kCategorySharedFile, kKindValue, "HKEY_LOCAL_MACHINE\\SharedDLLs", "C:\\x.dll",
            "C:\\x.dll");
    }
    RegErrorLogList findings;
};

TEST_F(ReviewModelTest, TicksCountAndHandTheFixExactlyTheTickedFindings) {
    ReviewModel review(findings);
    EXPECT_EQ(review.SelectionLine(), "4 of 4 entries selected");
    struct Step {
        void (*act)(ReviewModel&);
        const char* line;
        std::vector<bool> selection;
    };
    const Step steps[] = {
        {[](ReviewModel& r) { r.Toggle(1); }, "3 of 4 entries selected", {true, false, true, true}},
        {[](ReviewModel& r) { r.Toggle(3); }, "2 of 4 entries selected", {true, false, true, false}},
        {[](ReviewModel& r) { r.Toggle(9); }, "2 of 4 entries selected", {true, false, true, false}},
        {[](ReviewModel& r) { r.TickAll(false); }, "0 of 4 entries selected", {false, false, false, false}},
        {[](ReviewModel& r) { r.Toggle(1); }, "1 of 4 entries selected", {false, true, false, false}},
        {[](ReviewModel& r) { r.TickAll(true); }, "4 of 4 entries selected", {true, true, true, true}},
    };
    for (const Step& step : steps) {
        step.act(review);
        EXPECT_EQ(review.SelectionLine(), step.line);
        EXPECT_EQ(review.FixSelection(), step.selection) << step.line;
    }
}

TEST_F(ReviewModelTest, RowsShowProblemEntryAndFileAndFindTheirCategory) {
    const ReviewModel review(findings);
    using Texts = std::array<std::string, ReviewModel::kColumnCount>;
    EXPECT_EQ(review.Texts(0), (Texts{kDescriptionCLSID, findings[0]->GetKeyPath(), "C:\\gone\\a.dll"}));
    EXPECT_EQ(review.Texts(1), (Texts{kDescriptionCLSID, findings[1]->GetKeyPath(), ""}));
    EXPECT_EQ(review.Texts(2),
              (Texts{kDescriptionFonts, "HKEY_LOCAL_MACHINE\\Fonts  [Arial]", "C:\\Fonts\\arial.ttf"}));
    EXPECT_EQ(review.Texts(7), Texts{});
    EXPECT_EQ(review.FirstRowOf(kDescriptionFonts), 2u);
    EXPECT_EQ(review.FirstRowOf(kDescriptionSharedFiles), 3u);
    EXPECT_EQ(review.FirstRowOf(kDescriptionHelp), 0u);
    EXPECT_EQ(ProblemOf("NewFamily"), "NewFamily");
}

TEST_F(ReviewModelTest, IgnoringTakesTheTickedRowsOutAndNeverHandsThemToTheFix) {
    ReviewModel review(findings);
    review.TickAll(false);
    review.Toggle(2); // the font
    const std::vector<engine::FindingName> ignored = review.TakeTickedForIgnore();
    ASSERT_EQ(ignored.size(), 1u);
    EXPECT_EQ(engine::FindingId(ignored[0]), engine::FindingId(*findings[2]));
    EXPECT_EQ(review.SelectionLine(), "0 of 3 entries selected");
    review.TickAll(true);
    EXPECT_EQ(review.FixSelection(), (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(review.Texts(2)[ReviewModel::kProblem], kDescriptionSharedFiles);
}

TEST(ReviewModel, TwentyFiveThousandRowsTickAllInOnePass) {
    RegErrorLogList many;
    for (int i = 0; i < 25000; ++i) {
        Add(many, kCategoryFont, kKindValue, "HKEY_LOCAL_MACHINE\\Fonts", "f" + std::to_string(i));
    }
    ReviewModel review(many);
    review.TickAll(false);
    review.TickAll(true);
    EXPECT_EQ(review.SelectionLine(), "25000 of 25000 entries selected");
}

} // namespace
