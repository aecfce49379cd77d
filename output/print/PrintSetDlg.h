#pragma once
// Dialog 155: print in black and white (0) or in colour (1).

#include <QDialog>

class QRadioButton;

class CPrintSetDlg : public QDialog {
    Q_OBJECT
public:
    // Starts with the radio of the given choice.
    explicit CPrintSetDlg(int colour, QWidget* parent = nullptr);

    // The choice, read back from the radios by OK.
    int m_colour = 0;

    // Radio data exchange: the radios from m_colour, or m_colour from the radios.
    void DataExchange(bool save);

private:
    QRadioButton* m_mono = nullptr;
    QRadioButton* m_inColour = nullptr;
};
