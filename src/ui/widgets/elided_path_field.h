#pragma once
// A read-only field for a path that shows the path's end: a path longer
// than the field is cut at its start ("…/Bilder/2005/Urlaub/") and shown
// whole in the tooltip. text() is always the whole path; with the focus in
// it the field shows the whole path to select and copy from.

#include <QLineEdit>

class ElidedPathField : public QLineEdit {
    Q_OBJECT
public:
    explicit ElidedPathField(QWidget* parent = nullptr);

    // What the field shows when it does not have the focus.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;
};
