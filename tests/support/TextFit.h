#pragma once
// Whether every text of a window shows whole: each label, button, check box, tab, panel
// caption, image-button caption, thumbnail title and entry of an open drop-down list is
// measured in the font it is drawn in and compared with the space it is drawn in. A text
// wider than its space is cut (or elided) on screen; one whose letters reach below its
// space loses their lower part.
//
// Only what the user can see is measured: hidden controls and controls lying outside the
// window are left out; the pages of page controls are each brought to the front in turn.
//
// With VEC_TEXT_SHOTS=FOLDER in the environment, a picture of the window (of each page) and
// of each open list is written there, to be looked at.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextLayout>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "configui/PanelWidget.h"
#include "configui/controls/ImageButton.h"
#include "configui/controls/ThumbnailGrid.h"

namespace vec::test {

struct TextMisfit {
  std::string where;  // the control's object name (and the part of it)
  std::string text;
  int needed = 0;     // pixels the text takes
  int available = 0;  // pixels it is given
};

struct TextFitReport {
  std::vector<std::string> measured;  // every text measured, in the order met
  std::vector<TextMisfit> misfits;

  bool Measured(const std::string& text) const {
    for (const auto& m : measured)
      if (m == text) return true;
    return false;
  }
  std::string Describe() const {
    std::string out;
    for (const auto& m : misfits)
      out += m.where + ": \"" + m.text + "\" needs " + std::to_string(m.needed) + " px, has " +
             std::to_string(m.available) + "\n";
    return out;
  }
};

namespace text_fit_detail {

inline std::string NameOf(const QWidget* w) {
  const std::string name = w->objectName().toStdString();
  return name.empty() ? std::string(w->metaObject()->className()) : name;
}

// The widest line's advance: what a line of text takes across.
inline int Advance(const QFontMetrics& fm, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split('\n'))
    widest = std::max(widest, fm.horizontalAdvance(line));
  return widest;
}

// How far below the top of its line box the letters of one line reach (ink, not the font's
// whole descent, which a designed height may leave out without harm).
inline int InkBottom(const QFontMetrics& fm, const QString& text) {
  return fm.ascent() + fm.tightBoundingRect(text).bottom() + 1;
}

class Checker {
 public:
  explicit Checker(QWidget& window) : window_(window) {}

  TextFitReport Run() {
    window_.show();
    QApplication::processEvents();
    Shoot(window_, "");
    Walk();
    // The pages behind the front one, each brought forward in turn.
    for (QTabWidget* tabs : window_.findChildren<QTabWidget*>()) {
      const int front = tabs->currentIndex();
      for (int i = 0; i < tabs->count(); ++i) {
        if (i == front) continue;
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        Shoot(window_, "-page" + std::to_string(i));
        Walk();
      }
      tabs->setCurrentIndex(front);
    }
    return std::move(report_);
  }

 private:
  bool Shown(const QWidget* w) const {
    if (!w->isVisibleTo(&window_)) return false;
    const QRect inWindow(w->mapTo(&window_, QPoint(0, 0)), w->size());
    return inWindow.intersects(window_.rect());
  }

  // The picture of a window, named after the window, the style and the scale.
  void Shoot(QWidget& w, const std::string& suffix) const {
    const char* folder = std::getenv("VEC_TEXT_SHOTS");
    if (!folder || !*folder) return;
    const std::string name = std::string(folder) + "/" + NameOf(&window_) + suffix + "-" +
                             w.style()->name().toStdString() + "-" +
                             std::to_string(static_cast<int>(w.devicePixelRatioF() * 100)) + ".png";
    w.grab().save(QString::fromStdString(name));
  }

  void Walk() {
    for (QWidget* w : window_.findChildren<QWidget*>()) {
      if (w->isWindow() || !Shown(w) || !done_.insert(w).second) continue;
      Measure(w);
    }
  }

  void Fit(const QWidget* w, const std::string& part, const QString& text, int needed,
           int available) {
    report_.measured.push_back(text.toStdString());
    if (needed > available)
      report_.misfits.push_back(
          {NameOf(w) + part, text.toStdString(), needed, std::max(0, available)});
  }

  // A text in `font` drawn in `space`: across, and down to the letters' lowest ink (one line)
  // or to the last wrapped line's bottom.
  void FitText(const QWidget* w, const std::string& part, const QString& text, const QFont& font,
               const QRect& space, bool wrap) {
    if (text.trimmed().isEmpty()) return;
    const QFontMetrics fm(font);
    if (!wrap) {
      Fit(w, part, text, Advance(fm, text), space.width());
      if (!text.contains('\n'))
        Fit(w, part + " (height)", text, InkBottom(fm, text), space.height());
      return;
    }
    // Wrapped: no single word may be wider than the space, and every line must fit below.
    int widestWord = 0;
    for (const QString& word : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
      widestWord = std::max(widestWord, fm.horizontalAdvance(word));
    Fit(w, part, text, widestWord, space.width());
    const QRect wrapped =
        fm.boundingRect(QRect(0, 0, space.width(), 100000), Qt::TextWordWrap, text);
    Fit(w, part + " (height)", text, wrapped.height(), space.height());
  }

  void Measure(QWidget* w) {
    const QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w)) {
      const int m = label->margin();
      FitText(w, "", label->text(), label->font(), label->contentsRect().adjusted(m, m, -m, -m),
              label->wordWrap());
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
      QStyleOptionButton option;
      option.initFrom(check);
      option.text = check->text();
      const QRect space = style->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
      FitText(w, "", check->text(), check->font(), space, false);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      option.features =
          button->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
      const QRect space = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      FitText(w, "", button->text(), button->font(), space, false);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      // The title sits in the frame's top line, a little in from either end.
      const QFontMetrics fm(group->font());
      Fit(w, " (title)", group->title(), Advance(fm, group->title()) + 2 * fm.height(),
          group->width());
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      MeasureTabs(*tabs);
    } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
      MeasureHeader(*header);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      MeasureOpenList(*combo);
    } else if (auto* panel = dynamic_cast<PanelWidget*>(w)) {
      FitText(w, "", panel->Caption(), panel->font(), panel->contentsRect(), false);
    } else if (auto* image = dynamic_cast<ImageButton*>(w)) {
      const ImageButtonProperties& p = image->properties();
      if (p.showCaption) FitText(w, "", p.caption, p.font, image->rect(), false);
    } else if (auto* grid = dynamic_cast<ThumbnailGrid*>(w)) {
      MeasureTitles(*grid);
    }
  }

  // Every tab lies whole within its bar and is at least as wide as its text with the
  // style's spacing (a bar too narrow for its tabs elides them or scrolls).
  void MeasureTabs(QTabBar& tabs) {
    const QFontMetrics fm(tabs.font());
    const int spacing = tabs.style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, &tabs);
    for (int i = 0; i < tabs.count(); ++i) {
      const QRect r = tabs.tabRect(i);
      const std::string part = " tab " + std::to_string(i);
      Fit(&tabs, part, tabs.tabText(i), fm.horizontalAdvance(tabs.tabText(i)) + spacing, r.width());
      Fit(&tabs, part + " (end)", tabs.tabText(i), r.right() + 1, tabs.width());
    }
  }

  void MeasureHeader(QHeaderView& header) {
    const QAbstractItemModel* model = header.model();
    if (!model) return;
    const QFontMetrics fm(header.font());
    for (int i = 0; i < header.count(); ++i) {
      const QString text = model->headerData(i, header.orientation()).toString();
      Fit(&header, " section " + std::to_string(i), text,
          fm.horizontalAdvance(text) +
              2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header),
          header.sectionSize(i));
    }
  }

  // The list as it opens: each entry painted by the list's own delegate in the width the
  // open list gives it must look the same as in a very wide list over that width (an entry
  // that does not fit is cut or elided); and the list lies within the screen.
  void MeasureOpenList(QComboBox& combo) {
    combo.showPopup();
    QApplication::processEvents();
    QAbstractItemView& view = *combo.view();
    Shoot(*view.window(), "-" + NameOf(&combo) + "-open");
    for (int i = 0; i < combo.count(); ++i) {
      const QModelIndex index = combo.model()->index(i, combo.modelColumn());
      const QRect r = view.visualRect(index);
      const int available = std::min(view.viewport()->width(), r.width());
      const QImage wide = PaintEntry(view, index, kWide, r.height());
      auto fits = [&](int width) {
        return PaintEntry(view, index, width, r.height()) ==
               wide.copy(PhysicalRect(view, width, r.height()));
      };
      int needed = available;
      if (!fits(available)) {
        int low = available, high = kWide;  // does not fit at low, fits at high
        while (high - low > 1) {
          const int mid = (low + high) / 2;
          (fits(mid) ? high : low) = mid;
        }
        needed = high;
      }
      Fit(&combo, " entry " + std::to_string(i), combo.itemText(i), needed, available);
    }
    const QWidget* popup = view.window();
    const QRect screen = popup->screen()->geometry();
    Fit(&combo, " (list on screen)", combo.objectName(), popup->geometry().right() + 1,
        screen.right() + 1);
    combo.hidePopup();
    QApplication::processEvents();
  }

  static constexpr int kWide = 2000;

  static QRect PhysicalRect(const QWidget& w, int width, int height) {
    const qreal ratio = w.devicePixelRatioF();
    return QRect(0, 0, static_cast<int>(std::ceil(width * ratio)),
                 static_cast<int>(std::ceil(height * ratio)));
  }

  // One entry as the list's delegate paints it into `width` x `height` (logical pixels) at
  // the list's pixel ratio.
  static QImage PaintEntry(QAbstractItemView& view, const QModelIndex& index, int width,
                           int height) {
    const QRect physical = PhysicalRect(view, width, height);
    QImage image(physical.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(view.devicePixelRatioF());
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = QRect(0, 0, width, height);
    option.font = view.font();
    option.state |= QStyle::State_Enabled;
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    view.itemDelegateForIndex(index)->paint(&painter, option, index);
    painter.end();
    image.setDevicePixelRatio(1);
    return image;
  }

  // Each title broken between words as the grid breaks it: every line within the title's
  // width, and the lines within its height.
  void MeasureTitles(ThumbnailGrid& grid) {
    if (!grid.showTitle()) return;
    const Rect r = grid.layout().TitleRect(grid.layout().CellRect(0, 0));
    for (const std::string& title : grid.thumbnails().titles) {
      const QString text = QString::fromStdString(title);
      QTextLayout layout(text, grid.font());
      QTextOption option(Qt::AlignLeft);
      option.setWrapMode(QTextOption::WordWrap);
      layout.setTextOption(option);
      layout.beginLayout();
      qreal bottom = 0, widest = 0;
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(r.Width());
        line.setPosition(QPointF(0, bottom));
        bottom += line.height();
        widest = std::max(widest, line.naturalTextWidth());
      }
      layout.endLayout();
      Fit(&grid, " title", text, static_cast<int>(std::ceil(widest)), r.Width());
      Fit(&grid, " title (height)", text, static_cast<int>(std::ceil(bottom)), r.Height());
    }
  }

  QWidget& window_;
  std::set<const QWidget*> done_;
  TextFitReport report_;
};

}  // namespace text_fit_detail

// Shows the window (off screen in the tests) and measures every text it shows.
inline TextFitReport CheckTextsFit(QWidget& window) {
  return text_fit_detail::Checker(window).Run();
}

}  // namespace vec::test
