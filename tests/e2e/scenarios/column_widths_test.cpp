// The list's column widths at each common screen resolution, as the list itself
// reports them.
#include "program_scenario.h"

namespace uvantic::e2e {
namespace {

// The first two columns are w twips wide and the third w plus one pixel's worth,
// where w is a third of the list's width less five pixels (rounded to a whole
// number of twips, halves to even, then the remainder dropped). The program reads
// the list's width from the list itself, a whole number of pixels, and sets each
// column to its twips width in pixels rounded down, so the columns never add up to
// more than the list's inside.
struct Resolution {
  DWORD dpi;
  int listPixels;    // the list's width at this resolution
  const char* why;   // the twips behind the expected widths
  std::vector<int> columnPixels;
};

const Resolution kResolutions[] = {
    {96, 329, "4935 twips at 15 per pixel: w 1620, 1620, 1635 twips", {108, 108, 109}},
    {120, 411, "4932 twips at 12 per pixel: w 1624, 1624, 1636 twips (135.3, 135.3, 136.3 px)", {135, 135, 136}},
    // 240 to 5175 twips is 24 to 517.5 pixels; the right edge rounds up, so the list
    // is 494 pixels (4940 twips), not 4935 twips.
    {144, 494, "4940 twips at 10 per pixel: w 1630, 1630, 1640 twips", {163, 163, 164}},
    {192, 658, "4935 twips at 7.5 per pixel: 4897.5 rounds to 4898, w 1632, 1632, 1639.5 twips (217.6, 218.6 px)",
     {217, 217, 218}},
};

void PrintTo(const Resolution& resolution, std::ostream* out) { *out << resolution.dpi << " dpi"; }

class ColumnWidths : public ProgramScenario, public ::testing::WithParamInterface<Resolution> {};

TEST_P(ColumnWidths, FollowTheListWidthAtThisResolution) {
  const Resolution& resolution = GetParam();
  SCOPED_TRACE(resolution.why);
  SetLogPixels(resolution.dpi);
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  EXPECT_EQ(RectInParent(controls_.list).width, resolution.listPixels);
  EXPECT_EQ(List().ColumnWidths(), resolution.columnPixels);
}

std::string ResolutionName(const ::testing::TestParamInfo<Resolution>& info) {
  return std::to_string(info.param.dpi) + "dpi";
}

INSTANTIATE_TEST_SUITE_P(AtEachResolution, ColumnWidths, ::testing::ValuesIn(kResolutions), ResolutionName);

}  // namespace
}  // namespace uvantic::e2e
