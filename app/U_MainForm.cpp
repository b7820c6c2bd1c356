// The design-time form of the main window: every control at its pixel place,
// with its caption, font and colour, the tab order and the menus. Behaviour
// lives in U_Main.cpp.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "app/FormLook.h"
#include "app/U_Main.h"
#include "dialogs/TextRoom.h"
#include "mailer/Mailer.h"
#include "platform/DisplayedLines.h"
#include "platform/MaskedEdit.h"
#include "platform/MemoEdit.h"

namespace kestrel {

namespace {

// Client size of the window. The outer size (frame and title bar included)
// is 643 by 490; the remaining frame is measured at the first show.
constexpr int kClientWidth = 635;
constexpr int kClientHeight = 463;

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top) {
  auto* l = named(new QLabel(caption, parent), name);
  l->setFont(formLook::labelFont());
  l->setPalette(formLook::labelPalette(l->palette()));
  l->move(left, top);
  l->adjustSize();
  return l;
}

template <typename E = QLineEdit>
E* edit(QWidget* parent, const char* name, QRect place, bool bold) {
  auto* e = named(new E(parent), name);
  e->setFont(bold ? formLook::boldFont() : formLook::formFont());
  e->setGeometry(place);
  return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect place) {
  auto* b = named(new QPushButton(caption, parent), name);
  b->setFont(formLook::formFont());
  b->setGeometry(place);
  b->setAutoDefault(false);
  return b;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, QRect place) {
  auto* g = named(new QGroupBox(caption, parent), name);
  formLook::styleGroupCaption(g);
  g->setGeometry(place);
  return g;
}

QLabel* picture(QWidget* parent, const char* name, const QString& resource, QRect place) {
  auto* p = named(new QLabel(parent), name);
  p->setPixmap(QPixmap(resource));
  p->setScaledContents(true);  // stretched to the control's place
  p->setGeometry(place);
  return p;
}

QAction* item(QMenu* menu, const char* name, const QString& caption) {
  auto* a = named(menu->addAction(caption), name);
  return a;
}

QMenu* submenu(QWidget* parentMenu, const char* name, const QString& caption) {
  auto* m = named(new QMenu(caption, parentMenu), name);
  if (auto* bar = qobject_cast<QMenuBar*>(parentMenu))
    bar->addMenu(m);
  else
    static_cast<QMenu*>(parentMenu)->addMenu(m);
  return m;
}

// Menu items whose commands belong to subsystems that are not connected yet.
}  // namespace

void TF_Main::createControls() {
  auto* client = named(new QWidget(this), "clientArea");
  setCentralWidget(client);
  client->setAutoFillBackground(true);

  setFont(formLook::formFont());
  setPalette(formLook::windowPalette(palette()));
  resize(kClientWidth, kClientHeight);

  Image1 = picture(client, "Image1", QStringLiteral(":/kestrel/banner.png"), {4, 2, 257, 57});
  imageCompany =
      picture(client, "imageCompany", QStringLiteral(":/kestrel/brand.png"), {8, 74, 257, 74});

  // The fee group.
  GroupBox5 = group(client, "GroupBox5", QString(), {8, 160, 257, 177});
  Label1 = label(GroupBox5, "Label1", QStringLiteral("Postage"), 10, 14);
  editPostage = edit(GroupBox5, "editPostage", {172, 10, 73, 20}, true);
  Label2 = label(GroupBox5, "Label2", QStringLiteral("Certified Fee"), 10, 38);
  editCertFee = edit(GroupBox5, "editCertFee", {172, 34, 73, 20}, true);
  Label5 = label(GroupBox5, "Label5", QStringLiteral("Return Receipt"), 10, 62);
  editReturn = edit(GroupBox5, "editReturn", {172, 58, 73, 20}, true);
  cbRestricted = named(new QCheckBox(GroupBox5), "cbRestricted");
  cbRestricted->move(10, 84);
  cbRestricted->adjustSize();
  lblRestricted =
      label(GroupBox5, "lblRestricted", QStringLiteral("Restricted Delivery Fee"), 28, 86);
  editRestricted = edit(GroupBox5, "editRestricted", {172, 82, 73, 20}, true);
  lblRestricted->setEnabled(false);
  editRestricted->setEnabled(false);
  Shape2 = named(new QFrame(GroupBox5), "Shape2");
  Shape2->setGeometry(10, 107, 235, 2);
  Shape2->setAutoFillBackground(true);
  Shape2->setPalette(formLook::linePalette(Shape2->palette()));
  Label9 = label(GroupBox5, "Label9", QStringLiteral("Total"), 10, 118);
  editTotal = edit(GroupBox5, "editTotal", {172, 114, 73, 20}, true);
  editTotal->setReadOnly(true);
  editTotal->setFocusPolicy(Qt::NoFocus);  // skipped by the Tab key
  btnPrint = button(GroupBox5, "btnPrint", QStringLiteral("&Print"), {64, 138, 120, 33});
  btnPrint->setFont(formLook::largeBoldFont());

  // The sender block.
  gbYour = group(client, "gbYour", QStringLiteral("Your Name and Address"), {272, 0, 281, 100});
  QLabel** senderLabels[] = {&lblYourAddress1, &lblYourAddress2, &lblYourAddress3, &lblYourAddress4,
                             &lblYourAddress5};
  static const char* const senderNames[] = {"lblYourAddress1", "lblYourAddress2", "lblYourAddress3",
                                            "lblYourAddress4", "lblYourAddress5"};
  for (int i = 0; i < 5; ++i) {
    QLabel* l = label(gbYour, senderNames[i], QString(), 8, 16 + 16 * i);
    // Wide enough for any sender line the group can show; the group clips the rest.
    l->resize(gbYour->width() - 12, 16);
    *senderLabels[i] = l;
  }
  btnChangeYourAddress =
      button(gbYour, "btnChangeYourAddress", QStringLiteral("Change"), {232, 0, 48, 17});

  Label13 = label(client, "Label13", QStringLiteral("Comment:"), 272, 111);
  Label17 = label(client, "Label17", QStringLiteral("RE:"), 272, 137);
  // The two fields start after the wider caption, at 336 as designed unless
  // the caption needs more; their right edge stays.
  const int captionsEnd = std::max(Label13->geometry().right(), Label17->geometry().right()) + 1;
  const int fieldsLeft = std::max(336, captionsEnd + 4);
  editComment = edit(client, "editComment", {fieldsLeft, 105, 553 - fieldsLeft, 21}, false);
  editComment->setMaxLength(35);
  editRe = edit(client, "editRe", {fieldsLeft, 131, 553 - fieldsLeft, 21}, false);
  editRe->setMaxLength(25);

  // The recipient.
  GroupBox3 = group(client, "GroupBox3", QStringLiteral("Addressed To"), {272, 155, 281, 182});
  btnPaste = button(GroupBox3, "btnPaste", QStringLiteral("P&aste"), {64, 28, 65, 25});
  btnClear = button(GroupBox3, "btnClear", QStringLiteral("&Clear"), {168, 28, 65, 25});
  memoAddress = named(new MemoEdit(GroupBox3), "memoAddress");
  memoAddress->setFont(formLook::formFont());
  memoAddress->setGeometry(8, 72, 265, 60);
  memoAddress->setPalette(formLook::fieldPalette(memoAddress->palette()));
  memoAddress->setTabChangesFocus(true);
  // Lines wrap at the memo's width and count as displayed (four at most);
  // no scroll bar takes part of that width.
  memoAddress->setMaxDisplayedLines(kRecipientLines);
  memoAddress->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memoAddress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoAddress->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  editCity = edit(GroupBox3, "editCity", {8, 140, 161, 21}, false);
  editCity->setMaxLength(35);
  editState = edit(GroupBox3, "editState", {176, 140, 25, 21}, false);
  editState->setMaxLength(4);
  editZip = edit<MaskedEdit>(GroupBox3, "editZip", {208, 140, 65, 21}, false);
  editZip->setEditMask(QStringLiteral("99999\\-9999;1;_"));
  // All four lines show whole, so that none is scrolled out of view.
  growDown(*memoAddress,
           heightForDisplayedLines(*memoAddress, kRecipientLines) - memoAddress->height());

  // Print is shown but cannot be pressed until the Print command is
  // connected to it (see setPrintCommandConnected).
  btnPrint->setEnabled(false);

  applyTabOrder();
  createDatabaseControls();
}

void TF_Main::applyTabOrder() {
  QWidget* const order[] = {
      editPostage, editCertFee,          editReturn,  cbRestricted, editRestricted,
      btnPrint,    btnChangeYourAddress, editComment, editRe,       btnPaste,
      btnClear,    memoAddress,          editCity,    editState,    editZip};
  for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  // The fee group is the active control when the window opens.
  editPostage->setFocus();
}

void TF_Main::createMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  File1 = submenu(bar, "File1", QStringLiteral("File"));
  MIReadWriteToDB = item(File1, "MIReadWriteToDB", QStringLiteral("&Read/Write to a database"));
  File1->addSeparator();
  MIPrint = item(File1, "MIPrint", QStringLiteral("&Print"));
  MIMassPrint = item(File1, "MIMassPrint", QStringLiteral("&Mass Print"));
  MIPrintBarCodes = item(File1, "MIPrintBarCodes", QStringLiteral("Print &Bar Codes"));
  File1->addSeparator();
  MIExit = item(File1, "MIExit", QStringLiteral("&Exit"));

  Options1 = submenu(bar, "Options1", QStringLiteral("&Options"));
  MailerNumber1 = item(Options1, "MailerNumber1", QStringLiteral("&Mailer Number"));
  YourNameAddress1 = item(Options1, "YourNameAddress1", QStringLiteral("&Your Name && Address"));
  PrintOptions1 = submenu(Options1, "PrintOptions1", QStringLiteral("Print &Options"));
  MIPrinterSetup = item(PrintOptions1, "MIPrinterSetup", QStringLiteral("&Printer Setup"));
  MIPrinterAlignment =
      item(PrintOptions1, "MIPrinterAlignment", QStringLiteral("Printer &Alignment"));
  MIExtraLabel = item(PrintOptions1, "MIExtraLabel", QStringLiteral("&Extra Label"));
  BarCodes1 = submenu(Options1, "BarCodes1", QStringLiteral("&BarCode's"));
  BarCodeGroup = new QActionGroup(this);
  PrintBarCodeMI = item(BarCodes1, "PrintBarCodeMI", QStringLiteral("&Print"));
  DontPrintBarCodeMI = item(BarCodes1, "DontPrintBarCodeMI", QStringLiteral("&Don't Print"));
  for (QAction* a : {PrintBarCodeMI, DontPrintBarCodeMI}) {
    a->setCheckable(true);
    BarCodeGroup->addAction(a);
  }
  MIImpbBarCodes = item(Options1, "MIImpbBarCodes", QStringLiteral("GS1-128 (IMpb) Bar Codes"));
  MIImpbBarCodes->setCheckable(true);
  DefaultPostage1 = submenu(Options1, "DefaultPostage1", QStringLiteral("&Default Postage"));
  SaveValues1 = item(DefaultPostage1, "SaveValues1", QStringLiteral("&Save Values"));
  NameAddressTextFiles1 =
      submenu(Options1, "NameAddressTextFiles1", QStringLiteral("&Name && Address Text Files"));
  MIImport = item(NameAddressTextFiles1, "MIImport", QStringLiteral("&Import"));
  MIExport = item(NameAddressTextFiles1, "MIExport", QStringLiteral("&Export"));

  TrackItem1 = named(bar->addAction(QStringLiteral("Track Item")), "TrackItem1");

  Report1 = submenu(bar, "Report1", QStringLiteral("&Report"));
  PrintReport1 = submenu(Report1, "PrintReport1", QStringLiteral("&Print"));
  miPrintFull = item(PrintReport1, "miPrintFull", QStringLiteral("Full Detail"));
  miPrintShort = item(PrintReport1, "miPrintShort", QStringLiteral("Short Detail"));
  PreviewReport1 = submenu(Report1, "PreviewReport1", QStringLiteral("Pre&view"));
  miPreviewFull = item(PreviewReport1, "miPreviewFull", QStringLiteral("&Full Detail"));
  miPreviewShort = item(PreviewReport1, "miPreviewShort", QStringLiteral("&Short Detail"));
  ClearReport1 = item(Report1, "ClearReport1", QStringLiteral("&Clear"));
  Sort1 = submenu(Report1, "Sort1", QStringLiteral("&Sort"));
  SortGroup = new QActionGroup(this);
  MIByMailerNumber = item(Sort1, "MIByMailerNumber", QStringLiteral("&By Mailer Number"));
  MIByName = item(Sort1, "MIByName", QStringLiteral("By &Name"));
  MIByDate = item(Sort1, "MIByDate", QStringLiteral("By &Date"));
  MIByZipCode = item(Sort1, "MIByZipCode", QStringLiteral("By &ZipCode"));
  for (QAction* a : {MIByMailerNumber, MIByName, MIByDate, MIByZipCode}) {
    a->setCheckable(true);  // none is checked at start
    SortGroup->addAction(a);
  }
  MIFirmMailingBook = item(Report1, "MIFirmMailingBook", QStringLiteral("&Firm Mailing Book..."));

  Help1 = submenu(bar, "Help1", QStringLiteral("&Help"));
  Content1 = item(Help1, "Content1", QStringLiteral("&Content"));
  Help1->addSeparator();
  OrderSupplies1 = item(Help1, "OrderSupplies1", QStringLiteral("&Order Supplies"));
  TechnicalSupport1 = item(Help1, "TechnicalSupport1", QStringLiteral("&Technical Support"));
  Help1->addSeparator();
  miAbout = item(Help1, "miAbout", QStringLiteral("&About"));

  connect(MIExit, &QAction::triggered, this, &TF_Main::MIExitClick);
  connect(MIPrint, &QAction::triggered, this, &TF_Main::MIPrintClick);
  connect(MIImport, &QAction::triggered, this, &TF_Main::MIImportClick);
  connect(MIExport, &QAction::triggered, this, &TF_Main::MIExportClick);
  connect(MIReadWriteToDB, &QAction::triggered, this, &TF_Main::MIReadWriteToDBClick);
  connect(MIMassPrint, &QAction::triggered, this, &TF_Main::MIMassPrintClick);
  MIMassPrint->setEnabled(false);  // until database mode is entered
  connect(btnPrint, &QPushButton::clicked, this, &TF_Main::btnPrintClick);
  connect(YourNameAddress1, &QAction::triggered, this, &TF_Main::YourNameAddress1Click);
  connect(btnChangeYourAddress, &QPushButton::clicked, this, &TF_Main::YourNameAddress1Click);
  connect(MIPrinterSetup, &QAction::triggered, this, &TF_Main::MIPrinterSetupClick);
  connect(MailerNumber1, &QAction::triggered, this, &TF_Main::MailerNumber1Click);
  connect(MIPrinterAlignment, &QAction::triggered, this, &TF_Main::MIPrinterAlignmentClick);
  connect(MIExtraLabel, &QAction::triggered, this, &TF_Main::MIExtraLabelClick);
  connect(MIPrintBarCodes, &QAction::triggered, this, &TF_Main::MIPrintBarCodesClick);
  connect(PrintBarCodeMI, &QAction::triggered, this, &TF_Main::PrintBarCodeMIClick);
  connect(DontPrintBarCodeMI, &QAction::triggered, this, &TF_Main::DontPrintBarCodeMIClick);
  connect(MIImpbBarCodes, &QAction::triggered, this, &TF_Main::MIImpbBarCodesClick);
  connect(TrackItem1, &QAction::triggered, this, &TF_Main::TrackItem1Click);
  connect(Content1, &QAction::triggered, this, &TF_Main::Content1Click);
  connect(miPrintFull, &QAction::triggered, this, &TF_Main::miPrintFullClick);
  connect(miPrintShort, &QAction::triggered, this, &TF_Main::miPrintShortClick);
  connect(miPreviewFull, &QAction::triggered, this, &TF_Main::miPreviewFullClick);
  connect(miPreviewShort, &QAction::triggered, this, &TF_Main::miPreviewShortClick);
  connect(ClearReport1, &QAction::triggered, this, &TF_Main::ClearReport1Click);
  connect(MIFirmMailingBook, &QAction::triggered, this, &TF_Main::MIFirmMailingBookClick);
  for (QAction* a : {OrderSupplies1, TechnicalSupport1, miAbout})
    connect(a, &QAction::triggered, this, &TF_Main::MIAboutClick);
}

}  // namespace kestrel
