#pragma once

#include <QPushButton>

// A push button that shows the symbol for its caption instead of the caption's letter. The caption
// stays the button's text: the logic reads and sets it ("U" sound on, "V" muted...), and a new
// caption shows its symbol on the next repaint.
class GlyphButton : public QPushButton {
    Q_OBJECT
public:
    explicit GlyphButton(QWidget *parent = nullptr);
    explicit GlyphButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
