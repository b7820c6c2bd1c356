// How long the main window takes to settle after a large paste into the
// recipient: 1 MB pasted with Ctrl+V into the memo, and 1 MB on the clipboard
// taken by the Paste button. Settled means the paste, the four-line rule and
// every event it queued are done. Text of words in lines, as copied from an
// editor, and one paragraph without a break, as copied from a web page (for
// the Paste button followed by a city line).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "AppBench.h"
#include "app/U_Main.h"
#include "core/Folders.h"
#include "core/Settings.h"

namespace {

using namespace kestrel;

constexpr qsizetype kPasteBytes = 1024 * 1024;

// Words of changing length, with a line feed after every tenth word when
// `lines` is set.
QString words(bool lines) {
  QString text;
  text.reserve(kPasteBytes + 16);
  for (int i = 0; text.size() < kPasteBytes; ++i) {
    text += QStringLiteral("word%1").arg(i % 997);
    text += lines && i % 10 == 9 ? QLatin1Char('\n') : QLatin1Char(' ');
  }
  text.truncate(kPasteBytes);
  return text;
}

// The main window on a temporary machine and program folder, with a stored
// sender so that it starts without questions.
class Window {
 public:
  Window() {
    setMachineFolderForTests(m_machine.path().toStdString());
    QFile ini(m_machine.filePath(QStringLiteral("Kestrel3.ini")));
    if (ini.open(QIODevice::WriteOnly))
      ini.write(
          "[Type]\r\nBarCodeApp=0\r\n[YourAddress]\r\nLine1=Ann Example\r\nCity=Springfield"
          "\r\nState=IL\r\nZip=62701\r\n");
    ini.close();
    Settings() = SettingsRecord{};
    m_window = std::make_unique<TF_Main>(m_program.path().toStdString());
    m_window->show();
    for (int i = 0; i < 100 && m_window->firstShowPending(); ++i) QApplication::processEvents();
  }
  ~Window() {
    m_window.reset();
    setMachineFolderForTests("");
  }
  TF_Main& operator*() { return *m_window; }

 private:
  QTemporaryDir m_machine;
  QTemporaryDir m_program;
  std::unique_ptr<TF_Main> m_window;
};

void BM_CtrlVIntoMemo(benchmark::State& state) {
  Window window;
  QApplication::clipboard()->setText(words(state.range(0) != 0));
  QPlainTextEdit* memo = (*window).memoAddress;
  for (auto _ : state) {
    state.PauseTiming();
    memo->clear();
    memo->setFocus();
    QApplication::processEvents();
    state.ResumeTiming();
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
  }
  if (memo->blockCount() > 4) state.SkipWithError("the memo kept more than four lines");
  if (!memo->toPlainText().startsWith(QStringLiteral("word0 word1")))
    state.SkipWithError("nothing was pasted");
  state.SetBytesProcessed(state.iterations() * kPasteBytes);
}
BENCHMARK(BM_CtrlVIntoMemo)->ArgName("lines")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PasteButton(benchmark::State& state) {
  Window window;
  // Without line breaks the megabyte is the first line of an address whose
  // city line follows (a single line would be the city line alone).
  const bool lines = state.range(0) != 0;
  QApplication::clipboard()->setText(
      lines ? words(true) : words(false) + QStringLiteral("\nSpringfield, IL 62701"));
  for (auto _ : state) {
    (*window).btnPaste->click();
    QApplication::processEvents();
  }
  if ((*window).memoAddress->blockCount() > 4)
    state.SkipWithError("the memo kept more than four lines");
  if (!(*window).memoAddress->toPlainText().startsWith(QStringLiteral("word0 word1")))
    state.SkipWithError("nothing was pasted");
  state.SetBytesProcessed(state.iterations() * kPasteBytes);
}
BENCHMARK(BM_PasteButton)->ArgName("lines")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return kestrel::bench::runAppBenchmarks(argc, argv);
}
