#pragma once
// A registry kept in the registry editor's export format, as "REGEDIT4" (windows-1252) or
// "Windows Registry Editor Version 5.00" (UTF-16LE with its byte-order mark, or UTF-8). The
// export is held as its own text, section by section, so that it is written back in the format,
// encoding and line breaks it came in, and every line the program does not change stays as it
// was: comments, blank lines, value types and spellings of every kind. Key and value names
// compare without regard to letter case, as on Windows.

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
  // Creates the key; its missing parents exist through it. False when the export's encoding
  // cannot hold its name.
  bool CreateKey(TRootKey root, const std::string& path);
  // Deletes the key and its subkeys; false when the key did not exist or is a root key.
  bool DeleteKey(TRootKey root, const std::string& path);
  std::optional<TRegValue> FindValue(TRootKey root, const std::string& path, const std::string& name) const;
  // False when the key does not exist or the export's encoding cannot hold the value.
  bool SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value);
  // Full names ("HKEY_CURRENT_USER\Control Panel") of the keys with a section, in file order.
  std::vector<std::string> KeyNames() const;

 private:
  enum class TState : uint8_t {
    Live,
    Removed,  // its text stays when a removal line in the file took it out, else it has none
    Implied,  // a key only its subkeys name: no text of its own, its folded name in Text
  };
  struct Section {
    std::string text;  // its lines as in the file, header line first, line breaks included
    uint32_t nameBegin = 0;
    uint32_t nameLength = 0;
    TState state = TState::Live;
  };
  struct Slot {
    uint32_t hash = 0;     // of the folded name
    uint32_t number = 0;   // the section's number plus one; 0 when empty, kVacated when it left
  };
  struct ValueSpan {
    size_t start = 0, end = 0;  // the logical line, without its last line break
    bool removal = false;
  };

  void ReadLine(const std::string& line, size_t lineNumber);
  void StartSection(const std::string& line, size_t trimmed, size_t lineNumber);
  std::string NameOf(const Section& section) const;
  // The live or implied section of a key.
  const Section* Find(const std::string& folded) const;
  Section* Find(const std::string& folded);
  Section* FindLive(const std::string& folded);
  void Index(uint32_t section, uint32_t hash);
  void Unindex(const Section& section);
  uint32_t AppendSection(const std::string& fullName);
  // Takes an implied key out so that a section of its own can stand for it.
  void DropImplied(Section& implied);
  // Takes the key and its subkeys out; their text goes too unless the file's own removal line did it.
  void Remove(const std::string& folded, bool keepText);
  // The parents of a key with a section exist, with a section of their own or not.
  void NoteImpliedParents(const std::string& folded);
  // Calls Visit(span, name) for each value line of Text, in order.
  static void ForEachValue(const std::string& text,
                           const std::function<void(const ValueSpan&, const std::string& logical, size_t dataStart,
                                                    const std::string& name)>& visit);

  TExportEncoding encoding_ = TExportEncoding::Utf16Le;
  bool wide_ = true;  // version 5: strings in hex are UTF-16LE
  std::string lineBreak_ = "\r\n";
  std::string head_;  // the header line with the comments and blank lines around it
  std::vector<Section> sections_;
  std::vector<Slot> slots_;  // live and implied sections by folded name, open addressing
  size_t used_ = 0;          // slots that are not empty

  // While reading.
  int64_t current_ = -1;
  bool inRemoval_ = false;
  std::string continued_;  // a value line waiting for its continuation
};

}  // namespace orvane
