// travimo-gallery: every skinned control in each of its states, on the
// default skin of the built program folder.
//   travimo-gallery                  shows the window
//   travimo-gallery --shot <folder>  writes gallery.png and balloon.png there and exits
//   travimo-gallery --popup          also opens the first colour combo's drop-down
// Run with QT_SCALE_FACTOR=2 for the 200 % look.

#include "core/Globals.h"
#include "controls/BalloonTip.h"
#include "controls/ColourCombo.h"
#include "controls/PictureFrame.h"
#include "controls/SkinButton.h"
#include "controls/SkinListCtrl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

namespace {

std::vector<QPointer<QWidget>> g_hoverLater;

// Puts a control into its hover state as a mouse move over it would, once the window shows.
void Hover(QWidget* w)
{
    g_hoverLater.push_back(w);
}

void HoverNow(QWidget* w, QPoint at = QPoint(6, 6))
{
    QEnterEvent enter(at, w->mapToGlobal(at), w->mapToGlobal(at));
    QCoreApplication::sendEvent(w, &enter);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

QLabel* Caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0x55, 0x55, 0x55));
    l->setPalette(pal);
    return l;
}

// A picture frame that believes the mouse rests on it, to show the hover look.
class HoveredFrame : public CUserPictureFrame {
public:
    using CUserPictureFrame::CUserPictureFrame;

protected:
    QPoint CursorPos() const override { return mapToGlobal(rect().center()); }
};

// A strip painted like the user page's toolbar background, for the transparent buttons.
class Strip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(0xF4, 0xF8, 0xFD));
        g.setColorAt(1, QColor(0xC9, 0xDB, 0xF1));
        p.fillRect(rect(), g);
        p.setPen(QColor(0xA9, 0xC2, 0xE2));
        p.drawLine(0, 0, width(), 0);
    }
};

// The colour combo's drop-down, drawn open.
class OpenCombo : public QWidget {
public:
    OpenCombo(CColourCombo* combo, QWidget* parent) : QWidget(parent), m_combo(combo)
    {
        setFixedSize(150, CColourCombo::kItemHeight * 20 + 2);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        for (int i = 0; i < 20; ++i)
            m_combo->PaintItem(p, QRect(1, 1 + i * CColourCombo::kItemHeight, width() - 2, CColourCombo::kItemHeight), i,
                               i == 9);
        p.setPen(QColor(0x64, 0x64, 0x64));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    CColourCombo* m_combo;
};

QByteArray TwoFrameGif()
{
    // 2 x 2 pixels, two frames (blue, orange), 50 and 50 hundredths.
    QByteArray g("GIF89a");
    auto bytes = [&](std::initializer_list<int> b) {
        for (int v : b)
            g.append(static_cast<char>(v));
    };
    bytes({1, 0, 1, 0, 0x80, 0, 0, 0x31, 0x6A, 0xC5, 0xF0, 0x90, 0x20});
    bytes({0x21, 0xFF, 0x0B});
    g.append("NETSCAPE2.0");
    bytes({3, 1, 0, 0, 0});
    for (int low : {0x44, 0x4C}) {
        bytes({0x21, 0xF9, 4, 0, 50, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, low, 0x01, 0});
    }
    bytes({0x3B});
    return g;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString shotDir;
    const QStringList args = app.arguments();
    const int shot = args.indexOf("--shot");
    if (shot >= 0)
        shotDir = shot + 1 < args.size() ? args[shot + 1] : QDir::currentPath();

    g_strAppPath = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/");
    g_strAppName = QStringLiteral("Travimo");
    ReadProgramIni();
    if (g_strSkinName.isEmpty())
        g_strSkinName = QStringLiteral("标准");
    QFont font(QStringLiteral("SimSun"));
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    app.setFont(font);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Travimo controls"));
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xFA, 0xFB, 0xFD));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(12);

    const QString skin = SkinFolder();
    // --- buttons -------------------------------------------------------------
    auto* buttons = new QGroupBox(QStringLiteral("CSkinButton"), &window);
    auto* bl = new QGridLayout(buttons);
    struct ButtonCase {
        QString label;
        std::function<void(CSkinButton*)> dress;
    };
    const QIcon print(skin + "BigToolbar_Print.ico");
    const QIcon user(skin + "BigToolbar_User.ico");
    const std::vector<ButtonCase> cases = {
        {"normal", [](CSkinButton*) {}},
        {"hover", [](CSkinButton* b) { Hover(b); }},
        {"pressed", [](CSkinButton* b) { b->setDown(true); }},
        {"disabled", [](CSkinButton* b) { b->setEnabled(false); }},
        {"grey inactive", [&](CSkinButton* b) { b->SetIconImage(user, 32, 32, CSkinButton::InactiveIcon::Grey); }},
        {"mouse off (tab)", [](CSkinButton* b) {
             b->SetMouseEnabled(false);
             for (int s : {0, 2, 4})
                 b->SetStateColour(s, 0xFFFFFF);
         }},
    };
    int col = 0;
    for (const ButtonCase& c : cases) {
        auto* b = new CSkinButton(QStringLiteral("打印"), buttons);
        b->setFixedSize(64, 60);
        b->SetIconImage(print, 32, 32);
        b->SetIconAlign(CSkinButton::AlignTop);
        b->SetTipText(QStringLiteral("打印"), true);
        for (int s : {0, 2, 4})
            b->SetStateColour(s, s == 0 ? 0xFBEBDD : 0xFDF8F3);
        b->setFocusPolicy(Qt::NoFocus);
        c.dress(b);
        bl->addWidget(b, 0, col, Qt::AlignHCenter);
        bl->addWidget(Caption(c.label, buttons), 1, col);
        ++col;
    }
    // Left/right aligned, non-flat, checkbox, border.
    col = 0;
    auto addButton = [&](CSkinButton* b, const QString& label) {
        bl->addWidget(b, 2, col, Qt::AlignHCenter);
        bl->addWidget(Caption(label, buttons), 3, col);
        ++col;
    };
    {
        auto* b = new CSkinButton(QStringLiteral("资料"), buttons);
        b->setFixedSize(80, 28);
        b->SetIconImage(user, 16, 16);
        b->SetIconAlign(CSkinButton::AlignLeft);
        Hover(b);
        addButton(b, "align 0, hover");
        b = new CSkinButton(QStringLiteral("资料"), buttons);
        b->setFixedSize(80, 28);
        b->SetIconImage(user, 16, 16);
        b->SetIconAlign(CSkinButton::AlignRight);
        addButton(b, "align 2");
        b = new CSkinButton(QStringLiteral("确定"), buttons);
        b->setFixedSize(80, 28);
        b->SetFlatLook(false);
        addButton(b, "not flat");
        b = new CSkinButton(QStringLiteral("确定"), buttons);
        b->setFixedSize(80, 28);
        b->SetFlatLook(false);
        b->setDown(true);
        addButton(b, "not flat, pressed");
        b = new CSkinButton(QStringLiteral("勾选"), buttons);
        b->setFixedSize(80, 28);
        b->SetCheckboxMode(true);
        b->SetCheck(1);
        b->SetStateColour(0, 0xF5E1CE);
        addButton(b, "checkbox, checked");
        b = new CSkinButton(QStringLiteral(">>"), buttons);
        b->setFixedSize(28, 28);
        b->SetBorderColour(0xB99D7F);
        b->SetAlwaysBorder(true);
        b->SetStateColour(0, 0xFFFFFF);
        b->SetStateColour(2, 0xDEDEDE);
        b->SetStateColour(4, 0xDEDEDE);
        addButton(b, "border colour");
    }
    // Transparent toolbar strip.
    auto* strip = new Strip(buttons);
    strip->setFixedHeight(66);
    int x = 6;
    for (const char* key : {"USB", "User", "Password", "Print", "Setting", "Logout", "Logo"}) {
        auto* b = new CSkinButton(QString::fromLatin1(key), strip);
        b->setGeometry(x, 3, 60, 60);
        b->SetIconImage(QIcon(skin + QStringLiteral("BigToolbar_%1.ico").arg(QLatin1String(key))), 32, 32);
        b->SetIconAlign(CSkinButton::AlignTop);
        b->UseParentBackground();
        b->setFocusPolicy(Qt::NoFocus);
        if (x == 6 + 60 * 2)
            Hover(b);
        x += 60;
    }
    bl->addWidget(strip, 4, 0, 1, 6);
    bl->addWidget(Caption("transparent over the parent (third one hovered)", buttons), 5, 0, 1, 6);
    grid->addWidget(buttons, 0, 0, 1, 2);

    // --- picture frames ---------------------------------------------------------
    QTemporaryDir tmp;
    auto* pictures = new QGroupBox(QStringLiteral("CPictureFrame"), &window);
    auto* pl = new QGridLayout(pictures);
    const QString photo = g_strAppPath + "Photo/0.bmp";
    QString gifPath = tmp.filePath("anim.gif");
    {
        QFile f(gifPath);
        if (f.open(QIODevice::WriteOnly))
            f.write(TwoFrameGif());
    }
    struct FrameCase {
        QString label;
        QString path;
        bool hover;
        bool stretch;
    };
    col = 0;
    for (const FrameCase& c : {FrameCase{"photo", photo, false, true}, FrameCase{"hover", photo, true, true},
                               FrameCase{"own size", photo, false, false}, FrameCase{"animated GIF", gifPath, false, true},
                               FrameCase{"missing file", tmp.filePath("none.png"), false, true},
                               FrameCase{"missing, own size", tmp.filePath("none.png"), false, false}}) {
        auto* holder = new QWidget(pictures);
        holder->setFixedSize(100, 100);
        auto* f = c.hover ? new HoveredFrame(holder) : new CUserPictureFrame(holder);
        f->SetCornerSize(5);
        f->SetStretch(c.stretch);
        f->SetRingColour(0xFFFFFF);
        f->SetHoverRing2(0x800000);
        f->resize(76, 76);
        f->SetPicture(c.path, QStringLiteral("张三"), col);
        f->move((100 - f->width()) / 2, (100 - f->height()) / 2);
        if (c.hover)
            Hover(f);
        pl->addWidget(holder, 0, col, Qt::AlignHCenter);
        pl->addWidget(Caption(c.label, pictures), 1, col);
        ++col;
    }
    grid->addWidget(pictures, 1, 0, 1, 2);

    // --- list ----------------------------------------------------------------------
    auto* lists = new QGroupBox(QStringLiteral("CSkinListCtrl / CSkinHeaderCtrl"), &window);
    auto* ll = new QHBoxLayout(lists);
    auto makeList = [&](bool checks) {
        auto* list = new CSkinListCtrl(lists);
        list->setFixedSize(checks ? 300 : 440, 200);
        list->SetImageList({QIcon(g_strAppPath + (checks ? "date.ico" : "User.ico"))});
        list->SetRowHeight(22);
        list->SetHeaderInsets(12, 2, 2, 2, 2);
        list->SetCheckBoxes(checks);
        if (checks) {
            list->InsertColumn(0, QStringLiteral("日期"), CSkinListCtrl::FormatLeft, 124);
            list->InsertColumn(1, QStringLiteral("总能量"), CSkinListCtrl::FormatRight, 74);
            list->InsertColumn(2, QStringLiteral("有效运动"), CSkinListCtrl::FormatCenter, 80);
            for (int d = 1; d <= 8; ++d) {
                const int r = list->InsertItem(d - 1, QStringLiteral("2026-12-%1").arg(d, 2, 10, QChar('0')), 0);
                list->SetItemText(r, 1, QString::number(180 + d * 37 % 90));
                list->SetItemText(r, 2, QString::number(d * 7 % 40));
                list->SetCheck(r, d % 3 != 0);
            }
            list->SetItemState(2, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                               CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
        } else {
            const QStringList heads = {"编号", "姓名", "性别", "年龄", "体重", "步幅", "权限"};
            const int widths[] = {76, 76, 44, 44, 50, 50, 64};
            const int formats[] = {0, 0, 2, 1, 1, 1, 0};
            for (int c = 0; c < heads.size(); ++c)
                list->InsertColumn(c, heads[c], formats[c], widths[c]);
            const QStringList names = {"管理员", "张三", "李四", "王小明", "赵敏", "Christopher", "刘洋"};
            for (int i = 0; i < names.size(); ++i) {
                const int r = list->InsertItem(i, QString::number(10001 + i), 0);
                list->SetItemText(r, 1, names[i]);
                list->SetItemText(r, 2, i % 2 ? "女" : "男");
                list->SetItemText(r, 3, QString::number(24 + i * 3));
                list->SetItemText(r, 4, QString::number(52 + i * 4));
                list->SetItemText(r, 5, QString::number(60 + i * 2));
                list->SetItemText(r, 6, i == 0 ? "管理员" : "普通用户");
            }
            list->SetItemState(1, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                               CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
            list->SetSortIndicator(1, 1);
        }
        ll->addWidget(list);
        return list;
    };
    CSkinListCtrl* users = makeList(false);
    CSkinListCtrl* days = makeList(true);
    days->SetSortIndicator(0, 0);  // the other direction's arrow
    days->GetHeaderCtrl()->SetPressedItem(2);
    grid->addWidget(lists, 2, 0, 1, 2);

    // --- colour combo and balloon -----------------------------------------------------
    auto* combos = new QGroupBox(QStringLiteral("CColourCombo"), &window);
    auto* cl = new QGridLayout(combos);
    auto* c1 = new CColourCombo(combos);
    c1->InitColours();
    c1->SetSelectedColour(0x0000FF);
    c1->setFixedWidth(150);
    auto* c2 = new CColourCombo(combos);
    c2->InitColours();
    c2->setFixedWidth(150);
    cl->addWidget(c1, 0, 0);
    cl->addWidget(Caption("Red selected", combos), 1, 0);
    cl->addWidget(c2, 2, 0);
    cl->addWidget(Caption("nothing selected", combos), 3, 0);
    cl->setRowStretch(4, 1);
    cl->addWidget(new OpenCombo(c1, combos), 0, 1, 5, 1);
    grid->addWidget(combos, 0, 2, 2, 1);

    auto* balloonBox = new QGroupBox(QStringLiteral("CBalloonTip"), &window);
    auto* bb = new QVBoxLayout(balloonBox);
    auto* edit = new QLineEdit(balloonBox);
    edit->setPlaceholderText(QStringLiteral("用户名"));
    bb->addWidget(edit);
    bb->addStretch(1);
    balloonBox->setMinimumHeight(150);
    grid->addWidget(balloonBox, 2, 2);

    for (QWidget* w : window.findChildren<CSkinButton*>())
        w->setFocusPolicy(Qt::NoFocus);
    window.show();
    // Hot column in the header, as the mouse over it would leave it.
    users->GetHeaderCtrl()->SetHotItem(2);

    QPointer<CBalloonTip> tip;
    auto showTip = [&] {
        tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, QStringLiteral("错误"),
                                          QStringLiteral("请输入用户名！用户名不能为空，最多 10 个字节。"), edit,
                                          std::nullopt, shotDir.isEmpty() ? 60000 : 5000);
    };
    QTimer::singleShot(200, &window, [] {
        for (const auto& w : g_hoverLater)
            if (w)
                HoverNow(w);
    });
    QTimer::singleShot(300, &window, showTip);
    if (args.contains("--popup"))  // the real drop-down of the first colour combo
        QTimer::singleShot(600, c1, [c1] { c1->showPopup(); });

    if (!shotDir.isEmpty()) {
        QTimer::singleShot(900, &window, [&] {
            QDir().mkpath(shotDir);
            QPixmap shotPm = window.grab();
            if (tip) {
                const QPixmap balloon = tip->grab();
                balloon.save(shotDir + "/balloon.png");
                // The balloon is a window of its own: lay it over the shot where it stands.
                QPainter p(&shotPm);
                const QPoint at = tip->pos() - window.mapToGlobal(QPoint(0, 0));
                p.setClipRegion(tip->mask().isEmpty() ? QRegion(tip->rect()).translated(at) : tip->mask().translated(at));
                p.drawPixmap(at, balloon);
            }
            shotPm.save(shotDir + "/gallery.png");
            app.quit();
        });
    }
    return app.exec();
}
