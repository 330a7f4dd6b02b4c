#pragma once
#include <QString>

// Why the store did not do what was asked, as values. Nothing is thrown:
// device work goes on, and a front end says the record was not kept.
// `message` is StoreWording::Worded from the values, made with the error in the
// run's language, so a front end prints it as it is.
struct StoreError {
    enum class Kind {
        None,
        NotOpen,        // used before a successful Open
        WrongThread,    // a store belongs to the thread that made it
        NoDriver,       // Qt's SQLite or PostgreSQL driver is not installed (driver)
        FolderNotMade,  // the file's folder could not be made (folder)
        CannotOpen,     // the file or server cannot be opened (reason)
        FileReadOnly,   // this user may not write the file
        FolderReadOnly, // this user may not write in the file's folder (WAL keeps two files there)
        NotOurs,        // a file of another program, or no database at all: left as it was
        Newer,          // made by a newer version of this tool (version, known): left as it was
        CannotUpgrade,  // a step bringing an older store up to date failed (version: the step; reason)
        CannotWrite,    // an append was refused, nothing of it kept (reason)
        CannotRead,     // (reason)
    };
    Kind kind = Kind::None;
    QString location; // the file, or the server's URL without its password
    QString reason;   // the system's or the driver's words
    QString folder;
    QString driver;   // Qt's name of it: QSQLITE, QPSQL
    int version = 0;
    int known = 0;    // the newest version this program knows
    QString message;

    bool IsNone() const { return kind == Kind::None; }
};
