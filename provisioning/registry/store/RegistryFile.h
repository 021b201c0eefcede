#pragma once
// A registry kept in the registry editor's export format, as "REGEDIT4" (windows-1252) or
// "Windows Registry Editor Version 5.00" (UTF-16LE with its byte-order mark, or UTF-8). The
// export is held as its own text, section by section, so that it is written back in the format,
// encoding and line breaks it came in, and every line the program does not change stays as it
// was: comments, blank lines, value types and spellings of every kind, a key named twice.
// The keys are what reading the export line after line makes of them, as the registry editor
// imports it: a section creates its key and the key's parents, a removal section ("[-key]")
// deletes a key and its subkeys, later lines win. Every change keeps the text saying what the
// registry holds, so that reading it again gives the same keys and values. Key and value names
// compare as on Windows (CaseFolding.h).

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "provisioning/registry/store/ExportEncoding.h"
#include "provisioning/registry/Registry.h"

namespace orvane {

class TRegistryFile {
 public:
  // An empty export in version 5, UTF-16LE, as the registry editor writes it.
  TRegistryFile();
  // Raise ERegistryException on what is not a registry export in one of its encodings.
  static TRegistryFile Parse(const std::string& bytes);
  static TRegistryFile Read(std::istream& in);
  std::string Serialize() const;
  // Hands the export to Sink piece by piece; stops and returns false when Sink does.
  bool Write(const std::function<bool(const std::string& bytes)>& sink) const;

  bool KeyExists(TRootKey root, const std::string& path) const;
  // Creates the key; its missing parents exist through it. False when the export could not
  // read its name back: no UTF-8, a character its encoding lacks, a line break.
  bool CreateKey(TRootKey root, const std::string& path);
  // Deletes the key and its subkeys; false when the key did not exist or is a root key.
  bool DeleteKey(TRootKey root, const std::string& path);
  std::optional<TRegValue> FindValue(TRootKey root, const std::string& path, const std::string& name) const;
  // False when the key does not exist or the export could not read the value back as it is
  // given: text that is no UTF-8 or that its encoding lacks, a name with a line break, a string
  // with a zero character. A refused value leaves the export as it was.
  bool SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value);
  // Full names ("HKEY_CURRENT_USER\Control Panel") of the keys below the root keys, with a
  // section of their own or only through their subkeys, sorted.
  std::vector<std::string> KeyNames() const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Section {
    std::string text;  // its lines as in the file, header line first, line breaks included; none once deleted
    uint32_t nextOfKey = kNone;  // the next section that gives its key lines
  };
  struct Key {
    std::string name;  // as spelled when it last came to exist
    uint32_t hash = 0;  // of its parent and folded name
    uint32_t parent = kNone;
    uint32_t firstChild = kNone, nextSibling = kNone, previousSibling = kNone;  // subkeys that exist
    uint32_t firstSection = kNone, lastSection = kNone;  // its sections in file order, but those taken out
    uint32_t sectionsBelow = 0;  // sections of its own and of its subkeys
    bool exists = false;
    // Sections that a removal took out again still create it as a parent when the file is read.
    bool revived = false;
  };
  struct ValueSpan {
    size_t start = 0, end = 0;  // the logical line, without its last line break
    bool removal = false;
  };

  void ReadLine(const std::string& line, size_t lineNumber);
  void StartSection(const std::string& line, size_t trimmed, size_t lineNumber);
  std::string FullName(uint32_t key) const;
  // The key a path below a root names, existing or not; kNone when there is none.
  uint32_t Find(TRootKey root, const std::string& path) const;
  uint32_t FindExisting(TRootKey root, const std::string& path) const;
  uint32_t FindChild(uint32_t parent, const std::string& folded, uint32_t hash) const;
  // Whether the export could read back the names Path adds below the keys that exist.
  bool NewNamesReadBack(TRootKey root, const std::string& path) const;
  // The key, made with its missing parents as spelled here; none of them exists through it yet.
  uint32_t Intern(uint32_t root, const std::string& path);
  void Index(uint32_t key);
  // Gives the key the section; the key and its parents exist through it.
  void Attach(uint32_t section, uint32_t key);
  uint32_t AppendSection(const std::string& text);
  // A section of its own for the key, at the end of the file.
  void GiveSection(uint32_t key);
  // Takes the key and its subkeys out; their sections' text goes too unless KeepText.
  void Remove(uint32_t key, bool keepText);
  // Calls Visit(span, name) for each value line of Text, in order.
  static void ForEachValue(const std::string& text,
                           const std::function<void(const ValueSpan&, const std::string& logical, size_t dataStart,
                                                    const std::string& name)>& visit);

  TExportEncoding encoding_ = TExportEncoding::Utf16Le;
  bool wide_ = true;  // version 5: strings in hex are UTF-16LE
  std::string lineBreak_ = "\r\n";
  std::string head_;  // the header line with the comments and blank lines around it
  std::vector<Section> sections_;
  std::vector<Key> keys_;       // the root keys first, in the order of TRootKey
  std::vector<uint32_t> slots_;  // keys below the roots by parent and folded name, plus one; 0 is empty
  size_t indexed_ = 0;

  // While reading.
  int64_t current_ = -1;
  bool inRemoval_ = false;
  std::string continued_;  // a value line waiting for its continuation
};

}  // namespace orvane
