#pragma once
// A panel: a filled area with up to two bevels (outer, then inner, each lowered or
// raised, BevelWidth pixels) and its caption centred in it.

#include <QString>
#include <QWidget>

namespace vec {

enum class PanelBevel { None, Lowered, Raised, Space };

class PanelWidget : public QWidget {
 public:
  explicit PanelWidget(QWidget* parent);
  void SetBevels(PanelBevel outer, PanelBevel inner, int width);
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }
  // The width the bevels take from each side.
  int BevelExtent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PanelBevel outer_ = PanelBevel::Raised;
  PanelBevel inner_ = PanelBevel::None;
  int bevelWidth_ = 1;
  QString caption_;
};

}  // namespace vec
