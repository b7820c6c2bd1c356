#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

class QToolButton;

namespace kestrel {

class DataSource;

// The record navigator: one row of buttons that move through the data set of
// a DataSource and edit it. The buttons, in order: First, Prior, Next, Last,
// Insert, Delete, Post, Cancel, Refresh (there is no Edit button: typing
// into a bound control starts the edit). Each shows its hint.
//
// Delete works as a switch: a record marked deleted is recalled at once; any
// other is marked deleted after the question "Delete Record ?" is answered
// OK. Buttons that cannot act in the data set's state are disabled; a button
// pressed by the program (BtnClick) acts whatever its look.
class RecordNavigator : public QWidget {
  Q_OBJECT
 public:
  enum NavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbPost,
    nbCancel,
    nbRefresh
  };
  static constexpr int kButtonCount = 9;

  explicit RecordNavigator(QWidget* parent = nullptr);
  ~RecordNavigator() override;

  // The source whose data set the buttons act on. Requires: it outlives the
  // navigator or is set to another first.
  void setDataSource(DataSource* source);

  // Presses a button: writes the controls' changes into the record buffer,
  // does the button's action and then tells `clicked`. Errors of the data
  // set are thrown to the caller (a command runner).
  void BtnClick(NavigateBtn button);

  QToolButton* button(NavigateBtn which) const { return m_buttons[which]; }

  // Enables the buttons as the data set's position and state allow.
  void updateButtons();

 signals:
  // After a button has acted, also when the program pressed it.
  void clicked(RecordNavigator::NavigateBtn button);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void act(NavigateBtn button);
  void deleteSwitch();
  void placeButtons();

  QPointer<DataSource> m_source;
  int m_observerId = 0;
  std::array<QToolButton*, kButtonCount> m_buttons{};
};

}  // namespace kestrel
