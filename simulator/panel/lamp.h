#ifndef FERROLINK_LAMP_H
#define FERROLINK_LAMP_H

#include <QWidget>

namespace ferrolink {

// A round indicator lamp, lit or dark, like the LED of an output line.
class Lamp : public QWidget
{
    Q_OBJECT

public:
    explicit Lamp(QWidget *parent = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_on = false;
};

} // namespace ferrolink

#endif
