#pragma once
// CPictureFrame: a picture inside a rounded two-ring frame that lights up under
// the mouse, with a tooltip, reporting a click to its parent.
//
// Usage (the login page's slots):
//     auto* f = new CUserPictureFrame(page);
//     f->SetCornerSize(5);
//     f->SetStretch(true);                 // keep the widget's size, stretch the picture
//     f->SetRingColour(0xFFFFFF);
//     f->SetHoverRing2(0x800000);          // COLORREF 0x00BBGGRR
//     f->SetPicture(path, name, slot);     // any format Qt reads; animated GIFs play
//     f->SetUser(record);
//     QPixmap bmp; if (bmp.load(path)) f->SetBitmap(bmp);   // plain-bitmap fallback
//
// A left click while the mouse is over the frame and a path is set posts
// WM_PICTURE_CLICKED (1625) to the parent widget: wParam = value,
// lParam = the CPictureFrame* (reinterpret_cast<intptr_t>). The parent handles
// it in event() as a CWndMessage (external/records/WndMessage.h).
//
// Painting: a rounded rectangle over the widget (white fill, black 1-px outline),
// ring 1 one pixel inside it and ring 2 on the edge (hoverRing1/hoverRing2
// while hovered with a path set, ringColour otherwise), a 1-px inner frame
// 2 pixels inside the edge in innerFrameColour, then the picture: at (4, 4) at
// its own size, or stretched into (3, 3, w - 6, h - 6).
//
// A file that cannot be read leaves only the frame; its size counts as 0 x 0,
// so a frame that does not stretch shrinks to 8 x 8.

#include "controls/Colour.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

struct UserRecord;

// Milliseconds the frame shows frame `frame` of an animation, from the
// per-frame delays in milliseconds as the image reader reports them. Delays
// below 20 ms (a GIF's 0 or 1 hundredths) play at 100 ms, as browsers do,
// so a broken file cannot spin the event loop. Out-of-range frames read 100.
int PictureFrameInterval(const std::vector<int>& delaysMs, int frame);

// The frame after `frame` in an animation of `count` frames (back to 0 after the last).
int NextPictureFrame(int frame, int count);

class CPictureFrame : public QWidget {
    Q_OBJECT
public:
    explicit CPictureFrame(QWidget* parent = nullptr);
    ~CPictureFrame() override;
    CPictureFrame(const CPictureFrame&) = delete;
    CPictureFrame& operator=(const CPictureFrame&) = delete;

    // Shows the file at `path` (empty: no picture), with a tooltip text and the
    // number passed to the parent on a click. Frees the previous picture.
    // Without stretching the widget is resized (position kept) to the picture
    // size + 8; an animation starts with its first frame's delay.
    void SetPicture(const QString& path, const QString& tipText, int value);

    // A plain bitmap shown (like the picture) whenever the picture file itself
    // could not be loaded. A null pixmap removes it.
    void SetBitmap(const QPixmap& bitmap);
    QPixmap GetBitmap() const { return m_bitmap; }

    void SetHoverRing2(COLORREF c);   // outer ring while hovered (default 0xC56A31)
    void SetRingColour(COLORREF c);   // both rings when not hovered (default 0xFFFFFF)
    void SetStretch(bool stretch);    // default false: the widget takes the picture's size + 8
    void SetCornerSize(int size);     // rounded corner width and height, default 0

    QString GetPath() const { return m_path; }
    QString GetTipText() const { return m_tipText; }
    int GetValue() const { return m_value; }
    bool IsHover() const { return m_hover; }
    bool GetStretch() const { return m_stretch; }
    int GetCornerSize() const { return m_cornerSize; }
    COLORREF GetRingColour() const { return m_ringColour; }
    COLORREF GetHoverRing1() const { return m_hoverRing1; }
    COLORREF GetHoverRing2() const { return m_hoverRing2; }
    COLORREF GetInnerFrameColour() const { return m_innerFrameColour; }

    // The loaded picture: size 0 x 0 and no frames when the file could not be read.
    QSize ImageSize() const { return m_imageSize; }
    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    int CurrentFrame() const { return m_frame; }
    const std::vector<int>& FrameDelays() const { return m_delays; }  // milliseconds
    bool IsAnimating() const { return m_animTimer.isActive(); }
    int AnimationIntervalMs() const { return m_animTimer.interval(); }  // of the running frame

    // The ring colours in effect now: {ring 1, ring 2}.
    std::pair<COLORREF, COLORREF> CurrentRingColours() const;

    QSize sizeHint() const override;

signals:
    // An animation moved on to `frame`.
    void FrameChanged(int frame);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    // Where the mouse is, in global coordinates; the hover check asks this
    // every 50 ms (tests override it).
    virtual QPoint CursorPos() const;

private:
    void StartHover();
    void OnHoverCheck();
    void OnAnimationTick();
    void LoadImage(const QString& path);

    QString m_path;
    QString m_tipText;
    int m_value = 0;
    bool m_hover = false;
    COLORREF m_innerFrameColour = 0xDEDEDE;
    COLORREF m_hoverRing1 = 0xF4E3D8;
    COLORREF m_hoverRing2 = 0xC56A31;
    COLORREF m_ringColour = 0xFFFFFF;
    bool m_stretch = false;
    int m_cornerSize = 0;

    std::vector<QImage> m_frames;
    std::vector<int> m_delays;
    QSize m_imageSize{0, 0};
    int m_frame = 0;
    QPixmap m_bitmap;

    QTimer m_animTimer;   // the animation's frame timer
    QTimer m_hoverTimer;  // 50 ms check whether the mouse has left
};

// A picture frame that also carries the user record it shows (not owned).
class CUserPictureFrame : public CPictureFrame {
    Q_OBJECT
public:
    explicit CUserPictureFrame(QWidget* parent = nullptr) : CPictureFrame(parent) {}
    void SetUser(UserRecord* user) { m_user = user; }
    UserRecord* GetUser() const { return m_user; }

private:
    UserRecord* m_user = nullptr;
};
