#pragma once

#include <QCheckBox>

// A check box shown as a picture: its own picture for unchecked and for checked, unless a picture is
// given from outside, which is then shown whatever the state (the shuffle toggle shows one of two
// hidden pictures chosen by the logic). A picture given as the button's icon counts the same.
// Everything else is the QCheckBox: check states 0/1/2, stateChanged only on a real change, Space.
class PictureToggle : public QCheckBox {
    Q_OBJECT
public:
    enum class Kind { Repeat, Shuffle, Playlist };

    explicit PictureToggle(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }

    // Shows this picture in place of the toggle's own; a null pixmap goes back to the own pictures.
    void setPicture(const QPixmap &picture);
    bool hasPicture() const;

    // The toggle's own picture for a state, at the toggle's size and the screen's pixel density.
    QPixmap drawnPicture(Qt::CheckState state) const;

    // Draws a toggle's own picture of a kind; lit is the checked look.
    static void paintPicture(QPainter &painter, const QRectF &box, Kind kind, bool lit);

protected:
    bool hitButton(const QPoint &pos) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    Kind m_kind;
};
