#include "controls/TipText.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QStringList>

namespace {
int Widest(const QString& text, const QFontMetrics& fm)
{
    int w = 0;
    for (const QString& line : text.split('\n'))
        w = std::max(w, fm.horizontalAdvance(line));
    return w;
}
}  // namespace

TEST(TipText, WrapsAtSpacesOrBetweenCharacters)
{
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(12);
    const QFontMetrics fm(f);
    const QString latin = QStringLiteral("the quick brown fox jumps over the lazy dog again and again");
    const QString w = WrapTipText(latin, fm, 100);
    EXPECT_LE(Widest(w, fm), 100);
    EXPECT_GT(w.count('\n'), 1);
    EXPECT_EQ(QString(w).replace('\n', ' '), latin);  // broke at spaces, nothing lost

    const QString cjk = QString("修改个人资料").repeated(8);
    const QString c = WrapTipText(cjk, fm, 60);
    EXPECT_LE(Widest(c, fm), 60);
    EXPECT_EQ(QString(c).remove('\n'), cjk);

    EXPECT_EQ(WrapTipText("short", fm, 200), QString("short"));
    EXPECT_EQ(WrapTipText("a\nb", fm, 200), QString("a\nb"));
    EXPECT_EQ(WrapTipText("", fm, 200), QString());
    EXPECT_EQ(WrapTipText("abc", fm, 0), QString("abc"));
    // A width smaller than one character: one character a line, none lost.
    EXPECT_EQ(WrapTipText("abc", fm, 1), QString("a\nb\nc"));
    // Surrogate pairs stay whole.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
    const QString e = WrapTipText(emoji, fm, 1);
    EXPECT_EQ(e.split('\n').size(), 2);
}

TEST(TipText, MarkupIsShownAsTyped)
{
    EXPECT_EQ(MakeToolTip("张三", 200), QString("张三"));
    const QString t = MakeToolTip("<b>x</b>", 200);
    EXPECT_TRUE(t.contains("&lt;b&gt;"));
    EXPECT_EQ(MakeToolTip(QString(), 200), QString());
}
