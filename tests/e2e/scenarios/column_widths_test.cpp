// The list's column widths at each common screen resolution, as the list itself
// reports them.
#include "program_scenario.h"

namespace uvantic::e2e {
namespace {

// The first two columns are w twips wide and the third w plus one pixel's worth,
// where w is a third of the list's 4935 twips less five pixels (rounded to a whole
// number of twips, halves to even, then the remainder dropped). Each column gets
// its twips width in pixels rounded down, so the columns never add up to more than
// the list's inside.
struct Resolution {
  DWORD dpi;
  int listPixels;    // the list's laid-out width at this resolution
  const char* why;   // the twips behind the expected widths
  std::vector<int> columnPixels;
};

const Resolution kResolutions[] = {
    {96, 329, "15 twips per pixel: w 1620, 1620, 1635 twips", {108, 108, 109}},
    {120, 411, "12 twips per pixel: w 1625, 1625, 1637 twips (135.4, 135.4, 136.4 px)", {135, 135, 136}},
    // 240 to 5175 twips is 24 to 517.5 pixels; the right edge rounds up.
    {144, 494, "10 twips per pixel: 4885 / 3 drops its remainder, w 1628, 1628, 1638 twips", {162, 162, 163}},
    {192, 658, "7.5 twips per pixel: 4897.5 rounds to 4898, w 1632, 1632, 1639.5 twips (217.6, 218.6 px)",
     {217, 217, 218}},
};

void PrintTo(const Resolution& resolution, std::ostream* out) { *out << resolution.dpi << " dpi"; }

class ColumnWidths : public ProgramScenario, public ::testing::WithParamInterface<Resolution> {};

TEST_P(ColumnWidths, FollowTheListWidthAtThisResolution) {
  const Resolution& resolution = GetParam();
  SCOPED_TRACE(resolution.why);
  SetLogPixels(resolution.dpi);
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(RectInParent(controls_.list).width, resolution.listPixels);
  EXPECT_EQ(List().ColumnWidths(), resolution.columnPixels);
}

std::string ResolutionName(const ::testing::TestParamInfo<Resolution>& info) {
  return std::to_string(info.param.dpi) + "dpi";
}

INSTANTIATE_TEST_SUITE_P(AtEachResolution, ColumnWidths, ::testing::ValuesIn(kResolutions), ResolutionName);

}  // namespace
}  // namespace uvantic::e2e
