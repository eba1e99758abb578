// Every dialog template built by the Qt platform at its real size, with the font the program draws
// it in: each control's text fits the control, controls stay inside the dialog (and below the title
// band of a skinned one), and no two controls overlap unless one holds the other (a group box round
// its controls).
#include <gtest/gtest.h>

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QRawFont>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "resources/dialog_catalog.h"
#include "resources/file_dialogs.h"
#include "resources/skin_pictures.h"

namespace tesmo::platform {
namespace {

Platform* g_platform = nullptr;

QString qs(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QRect rect_of(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The widget the dialog built for control `c`: the direct child at the control's place not yet
// taken by an earlier control.
QWidget* widget_of(QWidget& dialog, const ControlTemplate& c, std::vector<QWidget*>& taken) {
  for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->geometry() != rect_of(c.rect) || std::find(taken.begin(), taken.end(), w) != taken.end()) continue;
    taken.push_back(w);
    return w;
  }
  return nullptr;
}

constexpr int kLineEditTextMargin = 2;  // the room a line edit leaves on each side of its text

// The width the control's text needs, drawn as the control draws it; 0 for controls without text.
int needed_width(QWidget& w, const ControlTemplate& c) {
  if (c.label.empty()) return 0;
  const QString text = qs(c.label);
  const int advance = w.fontMetrics().horizontalAdvance(text);
  QStyle& style = *w.style();
  switch (c.kind) {
    case ControlKind::Static: return advance + 2 * static_cast<QLabel&>(w).margin();
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return w.sizeHint().width();  // indicator, spacing and text
    case ControlKind::GroupBox: return w.minimumSizeHint().width();
    case ControlKind::Button:
    case ControlKind::OwnerDrawButton: return advance + 2 * style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &w);
    case ControlKind::Edit: {
      const QMargins m = static_cast<QLineEdit&>(w).textMargins();
      return advance + m.left() + m.right() + 2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &w) +
             2 * kLineEditTextMargin;
    }
    default: return 0;
  }
}

bool contains(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}
bool overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string name(const DialogTemplate& t, const ControlTemplate& c) {
  std::ostringstream s;
  s << "dialog " << t.id << " \"" << qs(t.caption).toStdString() << "\", control "
    << (c.id == kNoControlId ? std::string("-") : std::to_string(c.id)) << " \"" << qs(c.label).toStdString()
    << "\"";
  return s.str();
}

TEST(DialogLayout, EveryTemplateFitsItsTextsAndKeepsItsControlsApart) {
  for (const resources::CatalogEntry& entry : resources::all_dialog_templates()) {
    const DialogTemplate* t = entry.dialog;
    DialogHandler handler;
    std::unique_ptr<DialogWindow> window = g_platform->open_modeless_dialog(*t, handler);
    ASSERT_TRUE(window) << t->id;
    auto* dialog = dynamic_cast<QWidget*>(&window->dialog());
    ASSERT_NE(dialog, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(dialog->size(), QSize(t->client_width, t->client_height)) << t->id;
    std::vector<QWidget*> taken;
    const Rect area{0, entry.skinned ? resources::kSkinTitleBand : 0, t->client_width, t->client_height};
    for (size_t i = 0; i < t->controls.size(); ++i) {
      const ControlTemplate& c = t->controls[i];
      EXPECT_TRUE(contains(area, c.rect)) << name(*t, c) << " leaves the dialog or covers the title band";
      QWidget* w = widget_of(*dialog, c, taken);
      if (!w) {
        ADD_FAILURE() << name(*t, c) << " was not built at its place";
        continue;
      }
      const int needed = needed_width(*w, c);
      EXPECT_LE(needed, c.rect.width()) << name(*t, c) << ": its text needs " << needed << " px, the control is "
                                        << c.rect.width() << " px wide";
      for (size_t j = i + 1; j < t->controls.size(); ++j) {
        const ControlTemplate& d = t->controls[j];
        if (!overlap(c.rect, d.rect) || contains(c.rect, d.rect) || contains(d.rect, c.rect)) continue;
        ADD_FAILURE() << name(*t, c) << " overlaps " << name(*t, d);
      }
    }
  }
}

// File Information's fields hold Latin and Japanese side by side: each text is drawn in one face,
// so the byte count's digits are the size of the date's beside it.
TEST(DialogLayout, MixedLatinAndJapaneseTextsAreDrawnInOneFace) {
  DialogHandler handler;
  std::unique_ptr<DialogWindow> window = g_platform->open_modeless_dialog(resources::file_info_dialog(), handler);
  ASSERT_TRUE(window);
  auto* dialog = dynamic_cast<QWidget*>(&window->dialog());
  auto* field = dialog->findChild<QLineEdit*>();
  ASSERT_NE(field, nullptr);
  for (const char16_t* text : {u"5853 バイト (5 KB)", u"2026/12/10 03:27:29", u"0.002 秒 (0 フレーム)"}) {
    QTextLayout layout(qs(text), field->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun& run : layout.glyphRuns()) faces << run.rawFont().familyName();
    faces.removeDuplicates();
    EXPECT_EQ(faces.size(), 1) << qs(text).toStdString() << ": " << faces.join(u", ").toStdString();
  }
}

// The Exif list's columns side by side fit the list once its rows scroll: the last column starts on
// screen and ends inside it.
TEST(DialogLayout, ReportListColumnsFitTheirList) {
  DialogHandler handler;
  std::unique_ptr<DialogWindow> window = g_platform->open_modeless_dialog(resources::exif_dialog(), handler);
  ASSERT_TRUE(window);
  window->dialog().set_columns(resources::kExifList, resources::kExifColumns);
  QApplication::processEvents();
  auto* list = dynamic_cast<QWidget*>(&window->dialog())->findChild<QTreeWidget*>();
  ASSERT_NE(list, nullptr);
  const int scroll_bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  const int shown = list->viewport()->width() - (list->verticalScrollBar()->isVisible() ? 0 : scroll_bar);
  int total = 0;
  for (const ListColumn& c : resources::kExifColumns) total += c.width;
  EXPECT_LE(total, shown) << "the columns need " << total << " px, the list shows " << shown << " px";
}

}  // namespace
}  // namespace tesmo::platform

int main(int argc, char** argv) {
  // Qt reads the window system's name when the application object is made.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<tesmo::platform::Platform> platform = tesmo::platform::make_qt_platform(argc, argv);
  tesmo::platform::g_platform = platform.get();
  const int result = RUN_ALL_TESTS();
  tesmo::platform::g_platform = nullptr;
  return result;
}
