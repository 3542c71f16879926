#pragma once
// A panel that paints the white-to-silver gradient behind its children; the
// background of the program's own windows and dialogs.

#include <QWidget>

// Text the gradient shows through (a title, a prompt, a check box's caption)
// takes black or white on `widget` and its children, whichever contrasts
// more with the gradient: the gradient stays light, while the desktop's text
// colour is light too in a dark palette.
void UseGradientTextColour(QWidget& widget);

class GradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit GradientPanel(QWidget* parent = nullptr, bool horizontal = true);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_horizontal;
};
