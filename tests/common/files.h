// Folders and files that the GoogleTest programs prepare and inspect.
#ifndef QUILLET_TEST_FILES_H
#define QUILLET_TEST_FILES_H

#include <string>

// A fresh, empty folder under root named after the running test.
std::wstring FreshFolderUnder(const std::wstring &root);

// Deletes everything inside the folder, subfolders included; keeps the folder.
void EmptyFolder(const std::wstring &folder);

// How many files the folder and its subfolders hold.
int CountFiles(const std::wstring &folder);

// Creates folders below base until the path is exactly length characters long.
// Empty when that cannot be done.
std::wstring MakeFolderOfLength(const std::wstring &base, size_t length);

// The whole file as bytes; "<missing>" when it cannot be opened.
std::string FileText(const std::wstring &path);
bool WriteFileText(const std::wstring &path, const std::string &bytes);

// Deterministic bytes of every value, NULs and line ends included.
std::string BinaryJunk(size_t size);

// At least size bytes of long text lines without "=".
std::string FillerLines(size_t size);

#endif
