#include "dbase/TableIndex.h"

#include <unistd.h>

#include <cerrno>

#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FilePath.h"
#include "dbase/IndexError.h"
#include "dbase/IndexKey.h"
#include "dbase/MdxReader.h"
#include "dbase/MdxUpdater.h"
#include "dbase/MessagePath.h"
#include "dbase/SemaphoreFile.h"

namespace kestrel {
namespace {

// Beyond any index data, like the table's own share byte: a process holding
// the index open keeps a read lock here, one that may replace the file
// must get a write lock first.
constexpr std::int64_t kIndexInUseByte = dbf::kShareLockOffset;

}  // namespace

TableIndex::TableIndex(OsFile claimed, const std::string& indexPath, OsFile& table,
                       const std::string& tablePath, bool shared, const FieldDescriptor& field)
    : m_path(indexPath), m_field(field) {
  try {
    // The build's write lock on the in-use byte is turned into this one in
    // place, so the file is never unclaimed in between.
    const auto kind = shared ? OsFile::LockKind::Shared : OsFile::LockKind::Exclusive;
    if (claimed.tryLock(kIndexInUseByte, 1, kind) != 0) {
      throw IndexError(IndexError::kCorruptedIndex,
                       "Unable to open index: " + messagePath(indexPath));
    }
    // The reader keeps the claimed file (and with it the lock): the file
    // this process built is the one it reads, whatever the name leads to.
    m_reader = std::make_unique<MdxReader>(std::move(claimed), indexPath);
    if (shared) {
      // The semaphore's lock byte of the table needs a write lock, which a
      // table opened read-only cannot take on its own descriptor.
      OsFile& forLocks =
          m_tableForLocks.open(tablePath, OsFile::Access::ReadWrite) == 0 ? m_tableForLocks : table;
      m_semaphore =
          std::make_unique<SemaphoreFile>(SemaphoreFile::pathForTable(tablePath), forLocks);
      m_semaphore->logOn();
    }
  } catch (const IndexError& error) {
    throw asTableError(error);
  }
}

TableIndex::~TableIndex() = default;

void TableIndex::close() {
  try {
    if (m_semaphore) m_semaphore->logOff();
  } catch (const IndexError& error) {
    m_semaphore.reset();
    throw asTableError(error);
  }
  m_semaphore.reset();
  m_reader.reset();
  m_tableForLocks.close();
}

template <typename Step>
void TableIndex::inTurn(Turn turn, Step step) {
  if (!m_semaphore) {
    step();
    return;
  }
  const auto end = [&] {
    if (turn == Turn::Change) {
      m_semaphore->endChange();
    } else {
      m_semaphore->endRead();
    }
  };
  if (turn == Turn::Change) {
    m_semaphore->beginChange();
  } else {
    m_semaphore->beginRead();
  }
  try {
    step();
  } catch (...) {
    end();
    throw;
  }
  end();
}

template <typename Step>
void TableIndex::reading(Step step) {
  try {
    inTurn(Turn::Read, step);
  } catch (const IndexError& error) {
    throw asTableError(error);
  }
}

void TableIndex::First() {
  reading([this] { m_reader->First(); });
}

void TableIndex::Next() {
  // The semaphore keeps changes of the index file apart from reads of it;
  // a step within the leaf in memory reads nothing, so it needs no turn
  // (four locks and four reads and writes of the semaphore saved per entry).
  if (m_reader->nextIsInLeaf()) {
    try {
      m_reader->Next();
    } catch (const IndexError& error) {
      throw asTableError(error);
    }
    return;
  }
  reading([this] { m_reader->Next(); });
}

bool TableIndex::Eof() const {
  return m_reader->Eof();
}

std::uint32_t TableIndex::RecNo() const {
  return m_reader->RecNo();
}

void TableIndex::recordWritten(std::uint32_t recNo, const std::string& before,
                               const std::string& after) {
  const auto slice = [this](const std::string& record) {
    return std::string_view(record).substr(m_field.offset,
                                           static_cast<std::size_t>(m_field.length));
  };
  try {
    MdxUpdater updater(m_path);
    const IndexKey& key = updater.key();
    std::string newKey(key.length(), '\0');
    auto* newBytes = reinterpret_cast<unsigned char*>(newKey.data());
    key.encode(slice(after), newBytes);
    std::string oldKey;
    if (!before.empty()) {
      oldKey.assign(key.length(), '\0');
      key.encode(slice(before), reinterpret_cast<unsigned char*>(oldKey.data()));
      if (oldKey == newKey) return;
    }
    inTurn(Turn::Change, [&] {
      if (before.empty()) {
        updater.insert(newBytes, recNo);
      } else {
        updater.replace(reinterpret_cast<const unsigned char*>(oldKey.data()), newBytes, recNo);
      }
    });
  } catch (const IndexError& error) {
    throw asTableError(error);
  }
}

int TableIndex::claimForBuild(const std::string& indexPath, OsFile& file, bool replaceHeld) {
  // Another process may put its own file under the name between our open
  // and our lock; the claim holds only when the name still leads to the
  // file we locked.
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    int error = file.open(indexPath, OsFile::Access::ReadWrite);
    if (error == ENOENT) {
      error = placeClaimed(indexPath, file, false);
      if (error == EEXIST) continue;  // another process was first: its file decides
      return error;
    }
    if (error != 0) return error;
    error = file.tryLock(kIndexInUseByte, 1, OsFile::LockKind::Exclusive);
    if (error == EAGAIN && replaceHeld) {
      file.close();
      return placeClaimed(indexPath, file, true);
    }
    if (error != 0) {
      file.close();
      return error;
    }
    if (file.isFileAt(indexPath)) return 0;
    file.close();
  }
  return EAGAIN;
}

int TableIndex::placeClaimed(const std::string& indexPath, OsFile& file, bool replace) {
  // A new file is made under a name of this process's own and locked there,
  // where no other process looks, and only then put under the index's
  // name: so no process ever finds it there unclaimed, and creating and
  // claiming are one step for everyone else.
  const std::string stem = indexPath + "." + std::to_string(::getpid()) + "-";
  std::string made;
  int error = EEXIST;
  for (int n = 0; n < 100 && error == EEXIST; ++n) {
    made = stem + std::to_string(n) + ".tmp";
    error = file.createNew(made);
  }
  if (error != 0) return error;
  error = file.tryLock(kIndexInUseByte, 1, OsFile::LockKind::Exclusive);
  if (error == 0) {
    error = replace ? renameFile(made, indexPath) : renameFileNoReplace(made, indexPath);
  }
  if (error != 0) {
    file.close();
    (void)removeFile(made);
  }
  return error;
}

std::string TableIndex::indexPathFor(const std::string& tablePath, const std::string& indexName) {
  std::string name = indexName;
  const std::size_t slash = name.find_last_of("/\\:");
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) name += ".MDX";
  if (name.find_first_of("/\\:") != std::string::npos) return name;
  return pathBeside(tablePath, name);
}

ETableError TableIndex::asTableError(const IndexError& error) {
  if (error.code() != 0) return ETableError(error.code(), error.detail());
  return ETableError(tableErrorCodeFromErrno(error.osError(), true), error.detail());
}

}  // namespace kestrel
