// Texts and the skin's lines: no label of the login page touches or crosses a line drawn in
// the page's background, in either language. The lines are found in the skin's own bitmap.

#include "accounts/LoginPageDlg.h"
#include "app/MainDlg.h"
#include "core/SkinSections.h"
#include "core/Timings.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinImage.h"
#include "res/resource.h"
#include "tests/support/ProgramFolder.h"
#include "tests/app/ShellFixture.h"
#include "tests/support/TestDialogs.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Pixels on a hard line: vertical or horizontal lines running through most of the picture,
// each pixel standing apart from the pixels two steps away on both sides.
QImage LineMask(const QImage& picture)
{
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    QImage mask(img.size(), QImage::Format_Mono);
    mask.fill(0);
    constexpr int kStep = 12;
    for (int vertical = 0; vertical < 2; ++vertical) {
        const int lines = vertical ? img.width() : img.height();
        const int length = vertical ? img.height() : img.width();
        for (int i = 2; i < lines - 2; ++i) {
            auto at = [&](int line, int along) { return vertical ? img.pixel(line, along) : img.pixel(along, line); };
            std::vector<int> hits;
            for (int j = 0; j < length; ++j)
                if (Distance(at(i, j), at(i - 2, j)) > kStep && Distance(at(i, j), at(i + 2, j)) > kStep)
                    hits.push_back(j);
            if (hits.size() * 10 < size_t(length) * 6)
                continue;
            for (int j : hits)
                mask.setPixel(vertical ? i : j, vertical ? j : i, 1);
        }
    }
    return mask;
}

// The rectangle the label's text covers, in page coordinates.
QRect TextRect(const QLabel* label, const QWidget* page)
{
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QRect r = label->fontMetrics().boundingRect(label->contentsRect(), flags, label->text());
    return r.translated(label->mapTo(page, QPoint(0, 0)));
}

using SkinLayout = ShellFixture;

TEST_F(SkinLayout, NoLoginPageLabelTouchesALineOfTheSkinInEitherLanguage)
{
    const QImage back = LoadImageFile(ReadLoginPageSkin().backBmp);
    ASSERT_FALSE(back.isNull());
    const QImage lines = LineMask(back);
    int linePixels = 0;
    for (int y = 0; y < lines.height(); ++y)
        for (int x = 0; x < lines.width(); ++x)
            linePixels += lines.pixelIndex(x, y);
    ASSERT_GT(linePixels, back.height() / 2);  // the panel's dividing line is found

    CMainDlg dlg;
    QStringList touching;
    int checked[2] = {0, 0};
    Run(dlg, [&] {
        auto* page = WaitForLoginPage(dlg) ? qobject_cast<CLoginPageDlg*>(dlg.LoginPage()) : nullptr;
        for (int language : {0, 1}) {
            if (!page)
                break;
            page->OnLanguageChange(language);
            for (const QLabel* label : page->findChildren<QLabel*>()) {
                if (!label->isVisible() || label->text().isEmpty())
                    continue;
                ++checked[language];
                // One pixel around the text: touching counts.
                const QRect text = TextRect(label, page).adjusted(-1, -1, 1, 1) & QRect(QPoint(0, 0), back.size());
                bool touches = false;
                for (int y = text.top(); y <= text.bottom() && !touches; ++y)
                    for (int x = text.left(); x <= text.right() && !touches; ++x)
                        touches = lines.pixelIndex(x, y) != 0;
                if (touches)
                    touching << QStringLiteral("%1: %2").arg(language).arg(label->text());
            }
        }
        if (page)
            page->OnLanguageChange(0);
        Exit(dlg);
    });
    EXPECT_TRUE(touching.isEmpty()) << touching.join(QStringLiteral("; ")).toStdString();
    // The user's name and the language label at least, in each language.
    EXPECT_GE(checked[0], 2);
    EXPECT_GE(checked[1], 2);
}

}  // namespace
