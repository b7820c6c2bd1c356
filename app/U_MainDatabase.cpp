// Database mode: the recipient area shows and edits the records of an
// address table of the user's (the AddressBook) one at a time, Print prints
// the current record, and Mass Print prints one mailer for every record.
#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>

#include "addresses/AddressBook.h"
#include "addresses/DataAwareEdit.h"
#include "addresses/DataAwareMemo.h"
#include "addresses/DataSource.h"
#include "addresses/MassPrintProgress.h"
#include "addresses/RecordNavigator.h"
#include "addresses/ShortenedPath.h"
#include "app/FormLook.h"
#include "app/U_Main.h"
#include "core/Settings.h"
#include "dbase/TTzDbf.h"
#include "mailer/Mailer.h"
#include "mailer/NumberingTransaction.h"
#include "platform/ApplicationTitle.h"
#include "platform/CommandRunner.h"
#include "platform/DisplayedLines.h"
#include "platform/LocalPath.h"
#include "platform/UserInteraction.h"

namespace kestrel {

namespace {

const QString kOpenCaption = QStringLiteral("Read Name and Address from File");
// The file types of the open dialog, in the form Qt's file dialogs read.
const QString kTableFilter = QStringLiteral("DBF Files (*.dbf)|*.dbf|All Files|*.*");

const QString kMassPrintCustIdRefused = QStringLiteral(
    "You can not print a Mailer with \"000000000\" as a Customer ID. \r\n"
    "Please enter in a Customer ID , and try again.");

// The path label: a path wider than this is shortened to fit the narrower
// width, which leaves room for the ".../" put in front of it.
constexpr int kPathLabelWidth = 265;
constexpr int kPathFitWidth = 251;

// Places relative to the "Addressed To" group.
const QRect kPastePlace{64, 28, 65, 25};
const QRect kDatabasePastePlace{206, 36, 59, 25};

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->hide();  // shown by the database-mode layout
  return widget;
}

}  // namespace

void TF_Main::createDatabaseControls() {
  AddressBook = std::make_unique<TTzDbf>("AddressBook");
  m_addressSource =
      std::make_unique<DataSource>([](const QString& message) { showError(message); });

  labelDatabaseName = named(new QLabel(GroupBox3), "labelDatabaseName");
  labelDatabaseName->setFont(formLook::formFont());
  QPalette blue = labelDatabaseName->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  labelDatabaseName->setPalette(blue);
  labelDatabaseName->move(8, 20);

  tznavigator1 = named(new RecordNavigator(GroupBox3), "tznavigator1");
  tznavigator1->setGeometry(8, 44, 189, 18);
  tznavigator1->setDataSource(m_addressSource.get());

  labelOrder = named(new QLabel(GroupBox3), "labelOrder");
  labelOrder->setFont(formLook::formFont());
  labelOrder->setAlignment(Qt::AlignCenter);
  labelOrder->setAutoFillBackground(true);
  QPalette aqua = labelOrder->palette();
  aqua.setColor(QPalette::Window, QColor(0, 255, 255));
  labelOrder->setPalette(aqua);
  labelOrder->move(8, 62);

  btnExit = named(new QPushButton(QStringLiteral("&Exit"), GroupBox3), "btnExit");
  btnExit->setFont(formLook::formFont());
  btnExit->setGeometry(206, 60, 59, 25);
  btnExit->setAutoDefault(false);

  // The memo looks and wraps as the ordinary recipient memo does.
  tzmemoAddress = named(new DataAwareMemo(GroupBox3), "tzmemoAddress");
  tzmemoAddress->setFont(formLook::formFont());
  tzmemoAddress->setGeometry(8, 89, 265, 60);
  tzmemoAddress->setPalette(formLook::fieldPalette(tzmemoAddress->palette()));
  tzmemoAddress->setTabChangesFocus(true);
  tzmemoAddress->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  tzmemoAddress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tzmemoAddress->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tzmemoAddress->setMaxDisplayedLines(kRecipientLines);

  const auto dataEdit = [this](const char* name, QRect place) {
    auto* e = named(new DataAwareEdit(GroupBox3), name);
    e->setFont(formLook::formFont());
    e->setGeometry(place);
    return e;
  };
  // The city takes as many characters as the ordinary field but keeps 20,
  // the state 4, each fewer when the table's field is narrower.
  tzeditCity = dataEdit("tzeditCity", {8, 153, 161, 21});
  tzeditCity->setMaxLength(35);
  tzeditCity->setStoredLimit(20);
  tzeditState = dataEdit("tzeditState", {176, 153, 25, 21});
  tzeditState->setMaxLength(4);
  tzeditState->setStoredLimit(4);
  tzeditZip = dataEdit("tzeditZip", {208, 153, 65, 21});
  tzeditZip->setEditMask(QStringLiteral("99999\\-9999;1;_"));

  tzmemoAddress->bind(*m_addressSource, "address");
  tzeditCity->bind(*m_addressSource, "city");
  tzeditState->bind(*m_addressSource, "state");
  tzeditZip->bind(*m_addressSource, "zip");

  QWidget::setTabOrder(btnPaste, btnExit);
  QWidget::setTabOrder(btnExit, tzmemoAddress);
  QWidget::setTabOrder(tzmemoAddress, tzeditCity);
  QWidget::setTabOrder(tzeditCity, tzeditState);
  QWidget::setTabOrder(tzeditState, tzeditZip);

  tzmemoAddress->installEventFilter(this);
  connect(tzmemoAddress, &MemoEdit::linesChanged, this, &TF_Main::tzmemoAddressChange);
  for (QLineEdit* field : {tzeditCity, tzeditState, tzeditZip})
    connect(field, &QLineEdit::textChanged, this, &TF_Main::editPostageChange);
  connect(tznavigator1, &RecordNavigator::clicked, this, &TF_Main::tznavigator1Click);
  connect(btnExit, &QPushButton::clicked, this, &TF_Main::btnExitClick);
}

bool TF_Main::databaseMode() const {
  return !btnExit->isHidden();
}

TF_Main::RecipientControls TF_Main::recipientControls() const {
  if (memoAddress->isHidden()) return {tzmemoAddress, tzeditCity, tzeditState, tzeditZip};
  return {memoAddress, editCity, editState, editZip};
}

void TF_Main::showDatabaseLayout(bool databaseLayout) {
  btnPaste->setGeometry(databaseLayout ? kDatabasePastePlace : kPastePlace);
  btnClear->setVisible(!databaseLayout);
  for (QWidget* w :
       std::initializer_list<QWidget*>{btnExit, tznavigator1, labelDatabaseName, labelOrder,
                                       tzmemoAddress, tzeditCity, tzeditState, tzeditZip})
    w->setVisible(databaseLayout);
  for (QWidget* w : std::initializer_list<QWidget*>{memoAddress, editCity, editState, editZip})
    w->setVisible(!databaseLayout);
  MIMassPrint->setEnabled(databaseLayout);
}

void TF_Main::MIReadWriteToDBClick() {
  runCommand([this] {
    SettingsRecord& settings = Settings();
    const QString addressFolder = fromLocalPath(settings.AddressFolder);
    ui().setSaveFolder(addressFolder);
    // A name that is not there yet makes a new AddressBook.
    const QString path = ui().openOrNewFileName(kOpenCaption, addressFolder, kTableFilter);
    if (path.isEmpty()) return;
    settings.AddressFolder = toLocalPath(QFileInfo(path).absolutePath());
    // Another table chosen in database mode takes the place of the open one,
    // which is closed as it is (its deleted records stay until an Exit).
    closeAddressBook();
    showDatabaseLayout(true);
    openAddressBook(QFileInfo(path).absoluteFilePath());
  });
}

void TF_Main::openAddressBook(const QString& path) {
  m_addressBookPath = path;
  m_addressSource->setDataSet(nullptr);
  labelDatabaseName->clear();
  labelOrder->clear();
  TTzDbf& table = *AddressBook;
  setUpAddressBook(table, toLocalPath(path));
  try {
    table.Open();
    checkAddressBookFields(table);
  } catch (...) {
    // The layout stays; Exit returns to the ordinary one with nothing to
    // pack or close.
    table.Close();
    throw;
  }
  m_addressSource->setDataSet(&table,
                              {[&table] { table.Restore(); }, [&table] { table.Refresh(); }});
  table.First();

  const QFontMetrics metrics(labelDatabaseName->font());
  labelDatabaseName->setText(shortenedPath(
      path, [&](const QString& text) { return metrics.horizontalAdvance(text); }, kPathLabelWidth,
      kPathFitWidth));
  labelDatabaseName->adjustSize();

  // A new or empty table starts with one blank record.
  if (table.RecordCount() == 0) {
    tznavigator1->BtnClick(RecordNavigator::nbInsert);
    tznavigator1->BtnClick(RecordNavigator::nbPost);
  }
  showRecordOrder();
  tzmemoAddress->setFocus();
}

void TF_Main::closeAddressBook() {
  if (!AddressBook || !AddressBook->Active()) return;
  // Whatever was typed into the record is kept, as a move would keep it.
  m_addressSource->postPending();
  m_addressSource->setDataSet(nullptr);
  AddressBook->Close();
  labelOrder->clear();
}

void TF_Main::reopenAddressBook() {
  if (!databaseMode() || m_addressBookPath.isEmpty()) return;
  openAddressBook(m_addressBookPath);
}

void TF_Main::btnExitClick() {
  runCommand([this] {
    showDatabaseLayout(false);
    if (AddressBook->Active()) {
      m_addressSource->postPending();
      // Another copy that has the table open keeps the marked records in
      // it (Pack says so only by its result); they go at a later Exit.
      AddressBook->Pack();
      closeAddressBook();
    }
    m_addressBookPath.clear();
    editPostageExit();
  });
}

void TF_Main::tznavigator1Click() {
  showRecordOrder();
}

void TF_Main::showRecordOrder() {
  if (!AddressBook->Active()) {
    labelOrder->clear();
    return;
  }
  // A record marked deleted looks like any other until Exit packs it; the
  // mark is told beside its number, and a Delete that recalls it takes the
  // word away again.
  QString order = QStringLiteral("%1/%2").arg(AddressBook->RecNo()).arg(AddressBook->RecordCount());
  if (AddressBook->RecNo() != 0 && AddressBook->Deleted()) order += QStringLiteral(" deleted");
  labelOrder->setText(order);
  labelOrder->resize(tznavigator1->width(), labelOrder->sizeHint().height());
}

void TF_Main::tzmemoAddressChange() {
  // The four-line rule is the memo's own; what is left is the look.
  ShowEditedState();
}

void TF_Main::tzmemoAddressExit() {
  // As for the ordinary memo: rewriting the first four lines in place
  // changes no character, but counts as a change when a line holds text.
  if (recipientLinesHoldText(*tzmemoAddress)) tzmemoAddressChange();
}

void TF_Main::MIMassPrintClick() {
  runCommand([this] {
    TTzDbf& table = *AddressBook;
    const QString question = QStringLiteral(
                                 "You are about to print %1 labels.\n\r"
                                 "Would you like to continue?")
                                 .arg(table.RecordCount());
    if (ui().message(QString::fromLatin1(kApplicationTitle), question,
                     UserInteraction::Icon::Question,
                     UserInteraction::Buttons::YesNo) != UserInteraction::Answer::Yes)
      return;
    Settings().ShowMailerDialog = true;
    tznavigator1->BtnClick(RecordNavigator::nbFirst);
    MassPrintProgress progress(this);
    m_reprintConfirmed = false;
    m_massPrinting = true;
    const QScopeGuard endOfRun([this] { m_massPrinting = false; });
    int number = 0;
    // Every record in file order, blank and deleted ones too.
    while (!table.Eof()) {
      // Cancel takes effect between mailers: the one being printed when it
      // was pressed is printed and logged, and its number stays used.
      progress.step(++number, static_cast<int>(table.RecordCount()));
      if (progress.canceled()) return;
      if (!numberNextMailer(NumberingCommand::MassPrint, kMassPrintCustIdRefused)) return;
      PrintOneMailer();
      tznavigator1->BtnClick(RecordNavigator::nbNext);
    }
  });
}

}  // namespace kestrel
