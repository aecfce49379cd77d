#pragma once
// The right-hand column of the user page (dialog 135): a see-through container that stacks its
// panes top-down from (0, 0), each at its own size, 8 pixels apart; and the spare pane (dialog
// 141), an empty placeholder the column keeps as its second pane.

#include <QPointer>
#include <QWidget>

#include <vector>

class CRightColumnDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPaneGap = 8;

    explicit CRightColumnDlg(QWidget* parent = nullptr);

    // Inserts a pane (a child of the column) at index, appended when the index is out of range.
    void InsertPane(int index, QWidget* pane);
    int GetPaneCount() const { return int(m_panes.size()); }
    QWidget* Pane(int index) const;
    // Stacks the panes; called on every resize.
    void ArrangePanes();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    std::vector<QPointer<QWidget>> m_panes;
};

class CSparePaneDlg : public QWidget {
    Q_OBJECT
public:
    explicit CSparePaneDlg(QWidget* parent = nullptr);
};
