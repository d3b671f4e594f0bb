#include "library/core/SiteGridLayout.h"

#include "model/TextMarks.h"
namespace {

// Height of the tab strip at the bottom of the panel.
constexpr int kTabHeight = 23;

} // namespace

SiteGridPlacement ComputeSiteGridLayout(int width, int height, int toolBarHeight, int gridFilesScrollBar,
                                        int sectionsScrollBar)
{
    SiteGridPlacement p;
    const int h = toolBarHeight;
    const int w1 = width / 12 * 5;
    const int w2 = width / 12 * 7;
    p.gridFiles = {0, h, w1, height - h - kTabHeight};
    p.sections = {w1 + 5, h, w2, (height - h) / 3 * 2};

    const int basis1 = w1 - gridFilesScrollBar;
    p.gridFileColumns = {15, basis1 / 12 * 5 - 15, basis1 / 10, basis1 / 6, basis1 / 6, basis1 / 8};
    const int basis2 = w2 + 5 - sectionsScrollBar;
    p.sectionColumns = {30, basis2 / 10 * 3 - 30, basis2 / 6, basis2 / 6, basis2 / 6, basis2 / 6};
    p.sectionBarX = basis1 + 5;
    return p;
}

const char* SectionFactorHeading(bool showHalfVelocity)
{
    return showHalfVelocity ? QT_TRANSLATE_NOOP("Core", "V/2 участка")
                            : QT_TRANSLATE_NOOP("Core", "КУ участка");
}
