#pragma once

#include <QWidget>

namespace lumora {

class ThemedButton;

/// What the detail shows when the store no longer has its group: a green check, "这一组已经
/// 整理完了", a short explanation and the button back to the list.
class DetailMissingView : public QWidget {
  Q_OBJECT

public:
  explicit DetailMissingView(QWidget *parent = nullptr);

  [[nodiscard]] ThemedButton *backButton() const { return m_back; }

signals:
  void backClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  [[nodiscard]] QRectF circleRect() const;

  ThemedButton *m_back;
};

} // namespace lumora
