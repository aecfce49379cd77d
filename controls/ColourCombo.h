#pragma once
// CColourCombo: a drop-down list of the twenty named colours, each item a
// 14 x 14 swatch framed in black followed by the colour's name. Items are 16
// pixels high; the selection field shows the chosen item at height 14.
//
// Usage (the chart-colour settings page):
//     combo->InitColours();
//     combo->SetSelectedColour(curveColour);   // COLORREF; unknown colours keep the selection
//     ...
//     curveColour = combo->GetSelectedColour(); // 0 (black) when nothing is selected
//
// Items are drawn and looked up by their position in the colour table, so a
// combo made with `sorted` true (its strings in alphabetical order, as a sorted
// combo box keeps them) still shows and returns the table's colours by
// position; only typing a name to search follows the sorted strings.

#include "controls/Colour.h"

#include <QComboBox>
#include <QString>
#include <vector>

struct NamedColour {
    const char* name;
    COLORREF colour;
};
// The twenty colours in table order, "Black" ... "More Colors".
const std::vector<NamedColour>& StandardColours();

// Where the parts of one item go inside its rectangle.
struct ColourItemLayout {
    QRect swatch;  // filled with the colour, framed in black (its outer pixels)
    QRect text;    // name: one line, vertically centred, elided at the end
};
ColourItemLayout LayoutColourItem(const QRect& item, int swatchWidth = 14, int swatchHeight = 14);

class CColourCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kSwatchWidth = 14;
    static constexpr int kSwatchHeight = 14;
    static constexpr int kItemHeight = kSwatchWidth + 2;
    static constexpr int kFieldHeight = 14;

    struct Item {
        int index;  // the combo index its string got when added
        COLORREF colour;
        QString name;
    };

    // `sorted` keeps the strings in alphabetical order like a sorted combo box.
    explicit CColourCombo(QWidget* parent = nullptr, bool sorted = false);
    ~CColourCombo() override;
    CColourCombo(const CColourCombo&) = delete;
    CColourCombo& operator=(const CColourCombo&) = delete;

    // Fills the combo with the twenty colours in table order (emptying it first).
    void InitColours();
    // Selects the first item of exactly this colour; without one the selection stays.
    void SetSelectedColour(COLORREF colour);
    // The colour of the selected item; 0 when nothing is selected.
    COLORREF GetSelectedColour() const;

    const std::vector<Item>& Items() const { return m_items; }
    COLORREF FirstColour() const { return m_firstColour; }
    bool IsSorted() const { return m_sorted; }

    // Paints item `position` (by its place in the colour table) into `r`.
    void PaintItem(QPainter& p, const QRect& r, int position, bool selected) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The list drops down below the box (or above it at the screen's bottom),
    // whatever the widget style would do.
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<Item> m_items;
    COLORREF m_firstColour = 0;
    bool m_sorted = false;
};
