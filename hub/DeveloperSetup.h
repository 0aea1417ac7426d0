#pragma once
// The two small jobs of the hub's own: "Set Up Developer Folder" makes the user's developer
// folder below the game's "Source" folder, and "Make all RS files Read/Write" clears the
// read-only attribute of everything in the game folder through a generated "do_read.bat".

#include <QString>

namespace hub {

// Shown when the game folder is not known: a path built on it would name a drive's root.
QString GamePathNotSetMessage();

// True when name can be a folder of its own below "Source": not empty, not only dots and
// blanks (Windows drops them, so the name would be "Source" itself), and none of
// \ / : * ? " < > | or a control character.
bool IsUsableDeveloperName(const QString& name);

// "Set Up Developer Folder": makes GamePath\Source when missing, asks for the developer's name
// and makes GamePath\Source\<name>; a name that exists already is reported and nothing is made.
void SetUpDeveloperFolder();

// The one line of "do_read.bat" for the game folder gamePath, line end included.
QString ReadWriteBatchText(const QString& gamePath);

// "Make all RS files Read/Write": writes "do_read.bat" into "TempFiles", makes that folder the
// current one and runs the batch, waiting for its end while window events are processed; the
// success message only when it ended with status 0.
void MakeAllFilesReadWrite();

} // namespace hub
