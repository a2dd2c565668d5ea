#pragma once
// The settings store: text values under one key of the machine hive, and two
// integers in CPL.ini beside the program. No cache: every call opens the key,
// does one thing and closes it, so the registry is always the truth.
#include "StoredText.h"

#include <span>
#include <string>
#include <vector>

class CComboBox;

// Roots: a subkey path is the root followed directly by the subkey name.
inline const std::wstring kRegRoot = L"Software\\Marvolin\\VANTIR\\";
inline const std::wstring kRegCustomRoot = L"Software\\Marvolin\\VANTIR\\Custom\\";

// Decimal text read as a C-library conversion does; missing reads as 0.
int ReadRegInt(std::wstring root, std::wstring subkey, std::wstring name);
// ReadRegInt of several values of one subkey, in the order of `names`, with
// the key opened once.
std::vector<int> ReadRegInts(std::wstring root, std::wstring subkey, std::span<const wchar_t* const> names);
// Whether the key root + subkey exists (in any letter case).
bool RegKeyExists(std::wstring root, std::wstring subkey);
// Text up to its first null; missing reads as empty.
std::wstring ReadRegString(std::wstring root, std::wstring subkey, std::wstring name);
// Writes a text value into an existing subkey; false (and nothing written)
// when the subkey does not exist.
bool WriteRegString(std::wstring root, std::wstring subkey, std::wstring name, std::wstring data);
// Creates the subkey when needed and writes the text value.
void CreateRegString(std::wstring root, std::wstring subkey, std::wstring name, std::wstring data);
// Deletes a subkey that has no subkeys of its own.
void DeleteRegKey(std::wstring root, std::wstring subkey);
// Whether a text value is stored under the name (a value of another type,
// which the readers cannot read, counts as not stored).
bool RegValueStored(std::wstring root, std::wstring subkey, std::wstring name);
// Creates the key root + subkey (and its parents) where missing; true when it exists afterwards.
bool CreateRegKey(std::wstring root, std::wstring subkey);
// The names of the key's subkeys, in enumeration order; none when it is missing.
std::vector<std::wstring> ListRegSubkeys(std::wstring keyPath);
// Replaces the combo box's items with the names of the key's subkeys, in
// enumeration order.
void FillComboWithSubkeys(CComboBox& combo, std::wstring keyPath);
// Integer of key in section of the file beside the running program; -1 when absent.
int ReadIniInt(std::wstring fileName, std::wstring section, std::wstring key);

// The file ReadIniInt reads: the program's folder + "\\" + fileName; a program
// path without a backslash gives "\\" + fileName.
std::wstring IniFilePath(const std::wstring& programPath, const std::wstring& fileName);
