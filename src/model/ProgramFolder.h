// The program's own folder, where param.ini, the default Save/ folder and the
// help file live. ONDALIS_HOME, when set and not empty, names it instead
// (tests and portable installs use it). A program installed system-wide, or
// where its folder cannot be written, uses the user's data folder
// (~/.local/share/ondalis/).
#pragma once

#include <string>

// The folder as the program passes folders around: always ending with '/'.
std::string ProgramFolder();

// The rule behind ProgramFolder for an executable in exeFolder: that folder,
// or the user's data folder when the program is installed there (exeFolder is
// installedBinFolder, the install's bin folder, whoever runs it) or the folder
// cannot be written.
std::string ProgramFolderOf(const std::string& exeFolder, const std::string& installedBinFolder);

// A folder string as the program keeps them: ending with '/'.
std::string FolderWithSlash(std::string folder);
