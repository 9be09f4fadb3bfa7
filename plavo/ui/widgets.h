#pragma once
// The player's drawn controls: owner-drawn bitmap buttons, the digit display and the
// stereo level meter.
#include "plavo/meter.h"

#include <QAbstractButton>
#include <QWidget>

namespace plavo::ui {

// Drawn centred on a light grey face: two white lines at the top and two grey ones at the
// bottom, each followed by a dotted line, in a black frame; the second bitmap while pressed.
// With a caption the bitmap takes the left half and the caption the right.
class BitmapButton : public QAbstractButton
{
    Q_OBJECT
  public:
    BitmapButton(const QString& normal, const QString& pressed, QWidget* parent = nullptr,
                 const QString& caption = QString());
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString normal_, pressed_, caption_;
};

// Minutes and seconds of the elapsed time from the digit bitmaps, on black.
class DigitDisplay : public QWidget
{
    Q_OBJECT
  public:
    explicit DigitDisplay(QWidget* parent = nullptr);
    void set_seconds(double seconds);
    QString shown() const { return digits_; }
    QSize sizeHint() const override { return {120, 40}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString digits_ = "0000";
};

// An "L" row at the top and an "R" row at the bottom of 16 square segments, "LEVEL" between.
class LevelMeter : public QWidget
{
    Q_OBJECT
  public:
    explicit LevelMeter(QWidget* parent = nullptr);
    void set_levels(bool lit, Levels levels);
    Levels levels() const { return levels_; }
    bool lit() const { return lit_; }
    QSize sizeHint() const override { return {230, 46}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    bool lit_ = false;
    Levels levels_;
};

} // namespace plavo::ui
