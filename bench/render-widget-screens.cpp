// render-widget-screens OUT: renders real Qt widget windows offscreen (forms, tables, trees,
// text editors, dialogs) and saves them as screenshots screen-NN.png / .jpg in OUT, the
// screenshot part of the utility calibration set (see make-calibration-set). Run with
// QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

QString sampleText(int lines) {
  QString text;
  for (int i = 0; i < lines; ++i) {
    text += QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog; "
                           "照片整理 %2 张，已分析 %3 张。\n")
                .arg(i + 1)
                .arg(i * 37 % 500)
                .arg(i * 13 % 400);
  }
  return text;
}

std::unique_ptr<QWidget> formWindow() {
  auto w = std::make_unique<QWidget>();
  auto *form = new QFormLayout(w.get());
  form->addRow(QStringLiteral("Name"), new QLineEdit(QStringLiteral("Holiday photos 2024")));
  form->addRow(QStringLiteral("Folder"), new QLineEdit(QStringLiteral("/home/user/Pictures")));
  auto *combo = new QComboBox;
  combo->addItems({QStringLiteral("By date"), QStringLiteral("By size")});
  form->addRow(QStringLiteral("Sort"), combo);
  form->addRow(QStringLiteral("Workers"), new QSpinBox);
  form->addRow(new QCheckBox(QStringLiteral("Include hidden files")));
  auto *bar = new QProgressBar;
  bar->setValue(62);
  form->addRow(QStringLiteral("Progress"), bar);
  form->addRow(new QSlider(Qt::Horizontal));
  form->addRow(new QPushButton(QStringLiteral("Start scan")));
  return w;
}

std::unique_ptr<QWidget> tableWindow() {
  auto table = std::make_unique<QTableWidget>(40, 5);
  table->setHorizontalHeaderLabels({"File", "Size", "Score", "Sharpness", "Date"});
  for (int r = 0; r < 40; ++r) {
    table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("IMG_%1.jpg").arg(4000 + r)));
    table->setItem(r, 1, new QTableWidgetItem(QString::number(1200 + r * 73) + " KB"));
    table->setItem(r, 2, new QTableWidgetItem(QString::number((r * 7 % 100) / 10.0)));
    table->setItem(r, 3, new QTableWidgetItem(QString::number(300 + r * 11)));
    table->setItem(r, 4, new QTableWidgetItem(QStringLiteral("2024-05-%1").arg(1 + r % 28)));
  }
  return table;
}

std::unique_ptr<QWidget> treeWindow() {
  auto tree = std::make_unique<QTreeWidget>();
  tree->setHeaderLabels({"Name", "Kind", "Items"});
  for (int i = 0; i < 8; ++i) {
    auto *top = new QTreeWidgetItem(
        tree.get(), {QStringLiteral("Album %1").arg(i), "Folder", QString::number(i * 12)});
    for (int j = 0; j < 4; ++j) {
      new QTreeWidgetItem(top, {QStringLiteral("photo-%1-%2.heic").arg(i).arg(j), "Image", ""});
    }
    top->setExpanded(i % 2 == 0);
  }
  return tree;
}

std::unique_ptr<QWidget> editorWindow(bool rich) {
  if (rich) {
    auto edit = std::make_unique<QTextEdit>();
    edit->setHtml("<h1>Release notes</h1><p>" +
                  sampleText(12).toHtmlEscaped().replace("\n", "<br>") +
                  "</p><ul><li>Faster scans</li><li>Undo for deletions</li></ul>");
    return edit;
  }
  auto edit = std::make_unique<QPlainTextEdit>(sampleText(60));
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  return edit;
}

std::unique_ptr<QWidget> tabsWindow() {
  auto tabs = std::make_unique<QTabWidget>();
  auto *list = new QListWidget;
  for (int i = 0; i < 30; ++i)
    list->addItem(QStringLiteral("Duplicate group %1 (%2 photos)").arg(i).arg(2 + i % 5));
  tabs->addTab(list, QStringLiteral("Groups"));
  tabs->addTab(new QCalendarWidget, QStringLiteral("Calendar"));
  auto *box = new QGroupBox(QStringLiteral("Options"));
  auto *layout = new QVBoxLayout(box);
  for (const char *option : {"Keep favourites", "Move to trash", "Show hints"}) {
    layout->addWidget(new QCheckBox(QString::fromLatin1(option)));
  }
  tabs->addTab(box, QStringLiteral("Options"));
  return tabs;
}

std::unique_ptr<QWidget> splitWindow() {
  auto split = std::make_unique<QSplitter>();
  auto *list = new QListWidget;
  for (int i = 0; i < 25; ++i)
    list->addItem(QStringLiteral("Folder %1").arg(i));
  split->addWidget(list);
  split->addWidget(new QPlainTextEdit(sampleText(30)));
  split->addWidget(new QCalendarWidget);
  return split;
}

/// A dark colour scheme, as many desktops use.
QPalette darkPalette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(45, 45, 48));
  p.setColor(QPalette::WindowText, QColor(220, 220, 220));
  p.setColor(QPalette::Base, QColor(30, 30, 30));
  p.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
  p.setColor(QPalette::Text, QColor(220, 220, 220));
  p.setColor(QPalette::Button, QColor(55, 55, 60));
  p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  p.setColor(QPalette::Highlight, QColor(38, 110, 200));
  return p;
}

using Factory = std::function<std::unique_ptr<QWidget>()>;

} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-widget-screens OUT\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const std::vector<Factory> windows = {formWindow,
                                        tableWindow,
                                        treeWindow,
                                        [] { return editorWindow(false); },
                                        [] { return editorWindow(true); },
                                        tabsWindow,
                                        splitWindow};
  const QStringList styles = QStyleFactory::keys();
  const std::vector<QSize> sizes = {{1280, 800}, {900, 700}, {1600, 900}};
  int n = 0;
  for (std::size_t s = 0; s < sizes.size(); ++s) {
    for (const Factory &make : windows) {
      QApplication::setStyle(styles.at(static_cast<qsizetype>((n / 2) % styles.size())));
      // Every third window in the dark scheme.
      QApplication::setPalette(n % 3 == 1 ? darkPalette()
                                          : QApplication::style()->standardPalette());
      std::unique_ptr<QWidget> window = make();
      window->resize(sizes[s]);
      window->show();
      QApplication::processEvents();
      const QString name = QStringLiteral("screen-%1.%2")
                               .arg(n, 2, 10, QLatin1Char('0'))
                               .arg(n % 3 == 2 ? "jpg" : "png");
      if (!window->grab().save(out.filePath(name))) {
        std::fprintf(stderr, "render-widget-screens: cannot write %s\n", qPrintable(name));
        return 1;
      }
      ++n;
    }
  }
  return 0;
}
