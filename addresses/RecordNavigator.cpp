#include "addresses/RecordNavigator.h"

#include <QStyle>
#include <QToolButton>

#include "addresses/DataSource.h"
#include "dbase/DataSet.h"
#include "platform/ApplicationTitle.h"
#include "platform/CommandRunner.h"
#include "platform/UserInteraction.h"

namespace kestrel {

namespace {

struct ButtonLook {
  const char* name;
  const char* hint;
  QStyle::StandardPixmap icon;
};

// The hints are the platform's texts for the buttons.
constexpr ButtonLook kLooks[RecordNavigator::kButtonCount] = {
    {"First", "First record", QStyle::SP_MediaSkipBackward},
    {"Prior", "Prior record", QStyle::SP_MediaSeekBackward},
    {"Next", "Next record", QStyle::SP_MediaSeekForward},
    {"Last", "Last record", QStyle::SP_MediaSkipForward},
    {"Insert", "Insert record", QStyle::SP_FileDialogNewFolder},
    {"Delete", "Delete record", QStyle::SP_TrashIcon},
    {"Post", "Post edit", QStyle::SP_DialogApplyButton},
    {"Cancel", "Cancel edit", QStyle::SP_DialogCancelButton},
    {"Refresh", "Refresh data", QStyle::SP_BrowserReload},
};

}  // namespace

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent) {
  for (int i = 0; i < kButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(kLooks[i].name));
    b->setToolTip(QString::fromLatin1(kLooks[i].hint));
    b->setIcon(style()->standardIcon(kLooks[i].icon));
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::NoFocus);  // the focus stays in the field being edited
    const auto which = static_cast<NavigateBtn>(i);
    connect(b, &QToolButton::clicked, this,
            [this, which] { runCommand([&] { BtnClick(which); }); });
    m_buttons[i] = b;
  }
  updateButtons();
}

RecordNavigator::~RecordNavigator() {
  setDataSource(nullptr);
}

void RecordNavigator::setDataSource(DataSource* source) {
  if (m_source) m_source->removeObserver(m_observerId);
  m_observerId = 0;
  m_source = source;
  if (m_source) m_observerId = m_source->addObserver([this] { updateButtons(); });
  updateButtons();
}

void RecordNavigator::BtnClick(NavigateBtn button) {
  if (m_source && m_source->active()) act(button);
  updateButtons();
  emit clicked(button);
}

void RecordNavigator::act(NavigateBtn button) {
  DataSet& data = *m_source->dataSet();
  // What was typed goes into the buffer first: a move then posts it, Cancel
  // drops it with the rest of the edit.
  if (button != nbCancel) m_source->updateRecord();
  switch (button) {
    case nbFirst:
      data.First();
      break;
    case nbPrior:
      data.Prior();
      break;
    case nbNext:
      data.Next();
      break;
    case nbLast:
      data.Last();
      break;
    case nbInsert:
      data.Insert();
      break;
    case nbDelete:
      deleteSwitch();
      break;
    case nbPost:
      data.Post();
      break;
    case nbCancel:
      data.Cancel();
      // Cancel in browse state tells nobody; what was typed goes all the same.
      m_source->reloadControls();
      break;
    case nbRefresh:
      if (m_source->actions().refresh) m_source->actions().refresh();
      m_source->reloadControls();
      break;
  }
}

void RecordNavigator::deleteSwitch() {
  DataSet& data = *m_source->dataSet();
  if (data.RecNo() == 0) return;
  if (data.Deleted()) {
    if (m_source->actions().recall) m_source->actions().recall();
    return;
  }
  if (ui().message(QString::fromLatin1(kApplicationTitle), QStringLiteral("Delete Record ?"),
                   UserInteraction::Icon::Question,
                   UserInteraction::Buttons::OkCancel) == UserInteraction::Answer::Ok)
    data.Delete();
}

void RecordNavigator::updateButtons() {
  DataSet* data = m_source && m_source->active() ? m_source->dataSet() : nullptr;
  if (!data) {
    for (QToolButton* b : m_buttons) b->setEnabled(false);
    return;
  }
  const bool editing =
      data->State() == TDataSetState::dsEdit || data->State() == TDataSetState::dsInsert;
  // A move or an Insert while editing posts the edit first, so they stay
  // available.
  m_buttons[nbFirst]->setEnabled(!data->Bof());
  m_buttons[nbPrior]->setEnabled(!data->Bof());
  m_buttons[nbNext]->setEnabled(!data->Eof());
  m_buttons[nbLast]->setEnabled(!data->Eof());
  m_buttons[nbInsert]->setEnabled(true);
  m_buttons[nbDelete]->setEnabled(data->RecNo() != 0);
  m_buttons[nbPost]->setEnabled(editing);
  m_buttons[nbCancel]->setEnabled(editing);
  m_buttons[nbRefresh]->setEnabled(true);
}

void RecordNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeButtons();
}

void RecordNavigator::placeButtons() {
  // The buttons share the width evenly; the last takes what is left over.
  const int each = width() / kButtonCount;
  for (int i = 0; i < kButtonCount; ++i) {
    const int w = i + 1 < kButtonCount ? each : width() - each * (kButtonCount - 1);
    m_buttons[i]->setGeometry(i * each, 0, w, height());
  }
}

}  // namespace kestrel
