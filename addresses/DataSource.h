#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace kestrel {

class DataAwareControl;
class DataSet;

// The link between one data set and the controls that show and edit its
// current record, as a data source of a form: it reloads the controls after
// every call of the data set that may have changed what they show, puts the
// data set into edit state when a control's text changes, and hands the
// changed values to the record buffer before a post or a move.
//
// The source does not own the data set or the controls; a control removes
// itself when it goes, and the data set must outlive its binding (bind
// nullptr before deleting it).
class DataSource : public QObject {
  Q_OBJECT
 public:
  // What a data set offers beyond the DataSet calls: taking the deleted mark
  // off the current record, and reading the current record again from the
  // file. Either may be empty when the data set cannot do it.
  struct TableActions {
    std::function<void()> recall;
    std::function<void()> refresh;
  };
  // Errors of loading a record (a damaged memo file, for instance) cannot be
  // thrown out of the data set's notices; they go here.
  using ErrorReporter = std::function<void(const QString& message)>;

  explicit DataSource(ErrorReporter reportError, QObject* parent = nullptr);
  ~DataSource() override;

  // Binds the controls to `dataSet` (nullptr: to nothing) and reloads them.
  void setDataSet(DataSet* dataSet, TableActions actions = {});
  DataSet* dataSet() const { return m_dataSet; }
  const TableActions& actions() const { return m_actions; }
  // Bound to a data set that is open.
  bool active() const;

  void addControl(DataAwareControl& control);
  void removeControl(DataAwareControl& control);

  // A control's text changed by typing or by program code (not by loading):
  // the data set enters edit state (insert state on an empty table). False
  // when there is no open data set to edit; the control then shows the
  // current value again.
  bool controlChanged(DataAwareControl& control);

  // Writes the values of changed controls into the record buffer. Called
  // before every post and move; harmless when nothing changed.
  void updateRecord();
  // updateRecord, then Post when the data set is editing: what leaving the
  // record would do, for callers that close or pack the table next.
  void postPending();

  // Shows every control's value of the current record again.
  void reloadControls();

  // Observers hear after the controls have been reloaded: after every notice
  // of the data set and after a new binding. Returns an id for removeObserver.
  int addObserver(std::function<void()> observer);
  void removeObserver(int id);

 private:
  struct Observer {
    int id;
    std::function<void()> call;
  };

  void dataSetEvent();
  void tellObservers();

  ErrorReporter m_reportError;
  DataSet* m_dataSet = nullptr;
  TableActions m_actions;
  int m_listenerId = 0;
  std::vector<DataAwareControl*> m_controls;
  // Set while a control's change puts the data set into edit state: the
  // notice of that call must not reload the control being typed in.
  bool m_enteringEdit = false;
  std::vector<Observer> m_observers;
  int m_nextObserverId = 1;
};

}  // namespace kestrel
