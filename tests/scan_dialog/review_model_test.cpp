// What the review screen test does not reach: the category a row belongs to, and rows out of range.
#include "scan_dialog/review_model.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ReviewModel, RowsKnowTheirCategoryAndIgnoreRowsOutOfRange) {
    RegErrorLogList findings;
    for (const char* category : {kCategoryCLSID, kCategoryProgID, kCategoryFont, "NewFamily"}) {
        auto finding = std::make_unique<CRegErrorLog>();
        finding->SetCategory(category);
        finding->SetKind(kKindKey);
        finding->SetKeyPath(std::string("HKEY_CURRENT_USER\\") + category);
        findings.push_back(std::move(finding));
    }
    ReviewModel review(findings);
    const std::vector<std::string> problems = {kDescriptionCLSID, kDescriptionCLSID, kDescriptionFonts,
                                               "NewFamily"};
    for (std::size_t row = 0; row < problems.size(); ++row) {
        EXPECT_EQ(review.Texts(row)[ReviewModel::kProblem], problems[row]);
    }
    EXPECT_EQ(review.FirstRowOf(kDescriptionFonts), 2u);
    EXPECT_EQ(review.FirstRowOf(kDescriptionHelp), 0u); // none: the top
    review.Toggle(9);
    EXPECT_EQ(review.Texts(9)[ReviewModel::kEntry], "");
    EXPECT_EQ(review.SelectionLine(), "4 of 4 entries selected");
}

} // namespace
