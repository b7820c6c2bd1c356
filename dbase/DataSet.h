#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrel {

// Field names match without regard to case (ASCII letters).
bool sameFieldName(const std::string& a, const std::string& b);

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// What a data set tells its listeners after a call that may have changed
// what they show.
enum class DataSetEvent {
  Opened,         // opened (or reopened): structure, position and values are new
  Closed,         // closed: nothing to show
  Scrolled,       // another record is current, or none (Eof/Bof)
  StateChanged,   // Insert, Edit or Cancel: the state and the buffer changed
  RecordChanged,  // the current record was written, deleted or restored
};

// A walkable, editable table: the calls that the report engine and the
// data-aware controls use, and nothing they do not. The table component
// implements it over a file; tests implement it in memory.
//
// Field values are program text (Windows-1252); field names match without
// regard to case. Memo fields are read and written as lists of lines.
// Errors are thrown (ETableError for a table file).
class DataSet {
 public:
  DataSet() = default;
  DataSet(const DataSet&) = delete;
  DataSet& operator=(const DataSet&) = delete;
  virtual ~DataSet();

  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool Active() const = 0;

  // Visiting in the current order. After First on an empty data set both
  // Bof and Eof hold and RecNo is 0.
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual void Prior() = 0;
  virtual void Last() = 0;
  virtual bool Eof() const = 0;
  virtual bool Bof() const = 0;
  // The physical number of the current record (1-based), 0 when none.
  virtual std::uint32_t RecNo() const = 0;
  virtual std::uint32_t RecordCount() = 0;

  // Structure: fields in their stored order.
  virtual int FieldCount() const = 0;
  virtual std::string FieldName(int index) const = 0;
  virtual char FieldType(int index) const = 0;  // C, D, F, L, M or N
  virtual int FieldLength(int index) const = 0;

  // The current record's values, as the buffer holds them while editing.
  virtual std::string GetFieldText(const std::string& fieldName) = 0;
  virtual void SetFieldText(const std::string& fieldName, const std::string& text) = 0;
  virtual void GetMField(const std::string& fieldName, std::vector<std::string>& lines) = 0;
  virtual void SetMField(const std::string& fieldName, const std::vector<std::string>& lines) = 0;

  // Editing. Moving to another record posts a changed buffer and cancels an
  // unchanged one; Delete marks the current record deleted.
  virtual TDataSetState State() const = 0;
  virtual void Insert() = 0;
  virtual void Edit() = 0;
  virtual void Post() = 0;
  virtual void Cancel() = 0;
  virtual void Delete() = 0;
  virtual bool Deleted() const = 0;

  // Listeners hear of every outermost call that may have changed what they
  // show, after it returns (also when it ended in an error, since the
  // position or state may have moved before it). A listener must not call
  // back into the data set's moving or editing calls. Returns an id for
  // removeListener.
  using Listener = std::function<void(DataSetEvent)>;
  int addListener(Listener listener);
  void removeListener(int id);

 protected:
  // Tells the listeners once, when the outermost call of the data set
  // returns; calls nested inside it (an Edit that inserts, a move that
  // posts) add nothing. Put one at the top of each public call.
  class Notice {
   public:
    Notice(DataSet& dataSet, DataSetEvent event);
    ~Notice() noexcept(false);
    Notice(const Notice&) = delete;
    Notice& operator=(const Notice&) = delete;

   private:
    DataSet& m_dataSet;
    DataSetEvent m_event;
    int m_exceptions;
  };

 private:
  void notify(DataSetEvent event, bool unwinding);

  struct Entry {
    int id;
    Listener listener;
  };
  std::vector<Entry> m_listeners;
  int m_nextId = 1;
  int m_depth = 0;
};

}  // namespace kestrel
