#pragma once
// A panel that paints the white-to-silver gradient behind its children; the
// background of the program's own windows and dialogs.

#include <QWidget>

class GradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit GradientPanel(QWidget* parent = nullptr, bool horizontal = true);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_horizontal;
};
