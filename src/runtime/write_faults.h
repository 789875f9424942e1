#pragma once

// Failures the file layer can be made to meet on purpose, the way a locked
// file, a read-only folder, a full disk or a failing rename would show them.
// Root ignores permission bits and a test cannot fill a real disk, so this is
// how tests reach every failure path of the writes. Nothing is injected unless
// a plan is installed.

#include <QtGlobal>

namespace sumiraku {

struct WriteFaults {
    bool fileReadOnly = false;     // an existing file cannot be opened for writing
    bool folderReadOnly = false;   // no file can be created in the folder
    qint64 diskRoom = -1;          // bytes the disk still takes; -1 for no limit
    bool renameFails = false;      // putting a finished copy in place fails
    bool syncFails = false;        // flushing a written file to the disk fails
};

// Installs a plan for the writes that follow (nullptr: none). The plan's disk
// room shrinks as bytes are written.
void setWriteFaults(WriteFaults *faults);

} // namespace sumiraku
