#pragma once
// Hostile stored values for the tests of this folder: each form as the
// registry keeps it, with the integer the store must read from it, and a
// dump of a whole registry subtree to compare before and after a run.
#include "TestSupport.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace storedinput {

struct Form {
    std::wstring label;
    DWORD type;
    std::vector<BYTE> bytes;
    int reads; // what the integer reader gives
    std::wstring text; // what the text reader gives
};

// Empty text, blanks, "+7", "-0", one past each end of the 32-bit range,
// digits followed by letters, two texts of 10,000 characters (one whose
// digit sits exactly at the 100th character, one long negative digit run),
// a DWORD and a binary value.
const std::vector<Form>& Forms();

// Writes the form as the value `name` of HKLM\path (the key is created).
void Store(const std::wstring& path, const std::wstring& name, const Form& form);
void StoreText(const std::wstring& path, const std::wstring& name, const std::wstring& text);

// Every key and value below HKLM\path (testsupport::ReadTree), with every
// name in lower case: registry names are not case-sensitive.
using Tree = testsupport::RegistryTree;
Tree Dump(const std::wstring& path);
// The tree with the text value `name` of the relative key `subkey` set.
void ExpectWrite(Tree& tree, const std::wstring& subkey, const std::wstring& name, const std::wstring& text);
// The keys and values that differ between two trees, for failure messages.
std::wstring Difference(const Tree& expected, const Tree& actual);

} // namespace storedinput
