#include "provisioning/registry/store/RegistryFile.h"

#include <algorithm>
#include <sstream>

#include "provisioning/registry/store/CaseFolding.h"
#include "provisioning/registry/store/ExportValue.h"

namespace orvane {

namespace {

const char kVersion5[] = "Windows Registry Editor Version 5.00";
const char kVersion4[] = "REGEDIT4";
const size_t kWriteChunk = 1 << 20;
const TRootKey kRoots[] = {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                           TRootKey::CurrentConfig};

uint32_t HashName(uint32_t parent, const std::string& folded) {
  uint32_t hash = 2166136261u ^ parent;
  for (char c : folded) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  return hash;
}

std::optional<TRootKey> RootNamed(const std::string& name) {
  const std::string folded = FoldCase(name);
  for (TRootKey root : kRoots) {
    if (FoldsTo(RootKeyName(root), folded)) return root;
  }
  return std::nullopt;
}

uint32_t RootIndex(TRootKey root) { return static_cast<uint32_t>(root); }

// Calls Visit(name) for each key name between the separators of Path, until it returns false.
// An empty name between two separators names nothing, as do separators at either end.
template <class Visit>
void ForEachComponent(const std::string& path, Visit visit) {
  for (size_t begin = 0; begin <= path.size();) {
    const size_t end = std::min(path.find('\\', begin), path.size());
    if (end > begin && !visit(path.substr(begin, end - begin))) return;
    begin = end + 1;
  }
}

[[noreturn]] void Malformed(size_t line) {
  throw ERegistryException("Fichier de registre invalide, ligne " + std::to_string(line));
}

// The line without its line break.
size_t ContentEnd(const std::string& text, size_t begin, size_t next) {
  size_t end = next;
  if (end > begin && text[end - 1] == '\n') --end;
  if (end > begin && text[end - 1] == '\r') --end;
  return end;
}

size_t NextLine(const std::string& text, size_t begin) {
  const size_t end = text.find('\n', begin);
  return end == std::string::npos ? text.size() : end + 1;
}

bool IsBlankOrComment(const std::string& content, size_t& trimmed) {
  trimmed = content.find_first_not_of(" \t");
  return trimmed == std::string::npos || content[trimmed] == ';';
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

TRegistryFile::TRegistryFile() : head_(std::string(kVersion5) + "\r\n\r\n") {
  for (TRootKey root : kRoots) {
    Key key;
    key.name = RootKeyName(root);
    key.exists = true;
    keys_.push_back(std::move(key));
  }
}

TRegistryFile TRegistryFile::Parse(const std::string& bytes) {
  std::istringstream in(bytes);
  return Read(in);
}

TRegistryFile TRegistryFile::Read(std::istream& in) {
  TExportLineReader reader(in);
  TRegistryFile file;
  file.head_.clear();
  std::string raw;
  size_t lineNumber = 0;
  bool headerSeen = false;
  std::vector<std::string> before;  // lines ahead of the header, until it names the encoding
  while (reader.Next(raw)) {
    ++lineNumber;
    if (headerSeen) {
      const std::optional<std::string> line = DecodeLine(file.encoding_, raw);
      if (!line) Malformed(lineNumber);
      file.ReadLine(*line, lineNumber);
      continue;
    }
    // Ahead of the header only ASCII matters: blank lines, comments and the header itself.
    const std::optional<std::string> probe = DecodeLine(reader.Mark().value_or(TExportEncoding::Windows1252), raw);
    if (!probe) Malformed(lineNumber);
    size_t trimmed = 0;
    before.push_back(raw);
    if (IsBlankOrComment(*probe, trimmed)) continue;
    const std::string header = probe->substr(trimmed, ContentEnd(*probe, 0, probe->size()) - trimmed);
    const size_t end = header.find_last_not_of(" \t");
    const std::string word = header.substr(0, end == std::string::npos ? 0 : end + 1);
    if (word != kVersion5 && word != kVersion4) Malformed(lineNumber);
    headerSeen = true;
    file.wide_ = word == kVersion5;
    file.encoding_ = reader.Mark().value_or(file.wide_ ? TExportEncoding::Utf8 : TExportEncoding::Windows1252);
    file.lineBreak_ = probe->size() >= 2 && probe->compare(probe->size() - 2, 2, "\r\n") == 0 ? "\r\n" : "\n";
    for (const std::string& early : before) {
      const std::optional<std::string> line = DecodeLine(file.encoding_, early);
      if (!line) Malformed(lineNumber);
      file.head_ += *line;
    }
  }
  if (!headerSeen) Malformed(1);
  if (!file.continued_.empty()) Malformed(lineNumber);
  file.current_ = -1;
  return file;
}

void TRegistryFile::ReadLine(const std::string& line, size_t lineNumber) {
  std::string& target = current_ < 0 ? head_ : sections_[static_cast<size_t>(current_)].text;
  const std::string content = line.substr(0, ContentEnd(line, 0, line.size()));
  size_t trimmed = 0;
  if (!continued_.empty()) {
    // A value's data goes on after a trailing "\" on the line before.
    target += line;
    continued_ += content.substr(std::min(content.find_first_not_of(" \t"), content.size()));
  } else if (IsBlankOrComment(content, trimmed)) {
    target += line;
    return;
  } else if (content[trimmed] == '[') {
    StartSection(line, trimmed, lineNumber);
    return;
  } else {
    if (current_ < 0 || inRemoval_) Malformed(lineNumber);
    target += line;
    continued_ = content.substr(trimmed);
  }
  if (!continued_.empty() && continued_.back() == '\\') {
    continued_.pop_back();
    // An empty line would not tell a waiting value from none.
    if (continued_.empty()) Malformed(lineNumber);
    return;
  }
  const std::string logical = std::move(continued_);
  continued_.clear();
  const std::optional<TValueLine> value = ReadValueName(logical);
  if (!value) Malformed(lineNumber);
  if (IsValueRemoval(logical, *value)) return;
  try {
    ParseValueData(logical, *value, wide_);
  } catch (const ERegistryException&) {
    Malformed(lineNumber);
  }
}

void TRegistryFile::StartSection(const std::string& line, size_t trimmed, size_t lineNumber) {
  const size_t close = line.rfind(']');
  if (close == std::string::npos || close < trimmed) Malformed(lineNumber);
  const bool removal = line.compare(trimmed, 2, "[-") == 0;
  const size_t begin = trimmed + (removal ? 2 : 1);
  const std::string name = line.substr(begin, close - begin);
  const size_t separator = name.find('\\');
  const std::optional<TRootKey> root = RootNamed(name.substr(0, separator));
  if (!root) Malformed(lineNumber);
  const std::string path = separator == std::string::npos ? std::string() : name.substr(separator + 1);
  inRemoval_ = removal;
  const uint32_t section = AppendSection(line);
  current_ = section;
  if (!removal) {
    Attach(section, Intern(RootIndex(*root), path));
    return;
  }
  const uint32_t key = Find(*root, path);
  if (key == kNone || !keys_[key].exists) return;
  Remove(key, true);
  // The sections taken out stay in the file, where they create the key's parents again.
  for (uint32_t parent = keys_[key].parent; parent != kNone && !keys_[parent].revived; parent = keys_[parent].parent) {
    keys_[parent].revived = true;
  }
}

std::string TRegistryFile::FullName(uint32_t key) const {
  std::string name = keys_[key].name;
  for (uint32_t parent = keys_[key].parent; parent != kNone; parent = keys_[parent].parent) {
    name = keys_[parent].name + "\\" + name;
  }
  return name;
}

uint32_t TRegistryFile::FindChild(uint32_t parent, const std::string& folded, uint32_t hash) const {
  if (slots_.empty()) return kNone;
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const Key& key = keys_[slots_[slot] - 1];
    if (key.hash == hash && key.parent == parent && FoldsTo(key.name, folded)) return slots_[slot] - 1;
  }
  return kNone;
}

uint32_t TRegistryFile::Find(TRootKey root, const std::string& path) const {
  uint32_t key = RootIndex(root);
  ForEachComponent(path, [&](const std::string& component) {
    const std::string folded = FoldCase(component);
    key = FindChild(key, folded, HashName(key, folded));
    return key != kNone;
  });
  return key;
}

uint32_t TRegistryFile::FindExisting(TRootKey root, const std::string& path) const {
  const uint32_t key = Find(root, path);
  return key != kNone && keys_[key].exists ? key : kNone;
}

uint32_t TRegistryFile::Intern(uint32_t root, const std::string& path) {
  uint32_t key = root;
  ForEachComponent(path, [&](const std::string& component) {
    const std::string folded = FoldCase(component);
    const uint32_t hash = HashName(key, folded);
    const uint32_t child = FindChild(key, folded, hash);
    if (child == kNone) {
      Key made;
      made.name = component;
      made.hash = hash;
      made.parent = key;
      keys_.push_back(std::move(made));
      key = static_cast<uint32_t>(keys_.size() - 1);
      Index(key);
    } else {
      key = child;
      // A key made again takes the spelling it is made with, as on Windows.
      if (!keys_[key].exists) keys_[key].name = component;
    }
    return true;
  });
  return key;
}

void TRegistryFile::Index(uint32_t key) {
  // At most half the slots in use, so that a search soon meets an empty one.
  if ((indexed_ + 1) * 2 > slots_.size()) {
    std::vector<uint32_t> old = std::move(slots_);
    slots_.assign(std::max<size_t>(64, old.size() * 2), 0);
    const size_t mask = slots_.size() - 1;
    for (uint32_t entry : old) {
      if (entry == 0) continue;
      size_t free = keys_[entry - 1].hash & mask;
      while (slots_[free] != 0) free = (free + 1) & mask;
      slots_[free] = entry;
    }
  }
  const size_t mask = slots_.size() - 1;
  size_t free = keys_[key].hash & mask;
  while (slots_[free] != 0) free = (free + 1) & mask;
  slots_[free] = key + 1;
  ++indexed_;
}

void TRegistryFile::Attach(uint32_t section, uint32_t key) {
  for (uint32_t made = key; !keys_[made].exists; made = keys_[made].parent) {
    Key& entry = keys_[made];
    Key& parent = keys_[entry.parent];
    entry.exists = true;
    entry.previousSibling = kNone;
    entry.nextSibling = parent.firstChild;
    if (parent.firstChild != kNone) keys_[parent.firstChild].previousSibling = made;
    parent.firstChild = made;
  }
  Key& entry = keys_[key];
  if (entry.lastSection == kNone) {
    entry.firstSection = section;
  } else {
    sections_[entry.lastSection].nextOfKey = section;
  }
  entry.lastSection = section;
  for (uint32_t above = key; above != kNone; above = keys_[above].parent) ++keys_[above].sectionsBelow;
}

uint32_t TRegistryFile::AppendSection(const std::string& text) {
  Section section;
  section.text = text;
  sections_.push_back(std::move(section));
  return static_cast<uint32_t>(sections_.size() - 1);
}

void TRegistryFile::GiveSection(uint32_t key) {
  Attach(AppendSection("[" + FullName(key) + "]" + lineBreak_ + lineBreak_), key);
}

void TRegistryFile::Remove(uint32_t key, bool keepText) {
  Key& removed = keys_[key];
  if (removed.parent != kNone) {
    Key& parent = keys_[removed.parent];
    if (removed.previousSibling == kNone) {
      parent.firstChild = removed.nextSibling;
    } else {
      keys_[removed.previousSibling].nextSibling = removed.nextSibling;
    }
    if (removed.nextSibling != kNone) keys_[removed.nextSibling].previousSibling = removed.previousSibling;
  }
  for (uint32_t above = removed.parent; above != kNone; above = keys_[above].parent) {
    keys_[above].sectionsBelow -= removed.sectionsBelow;
  }
  std::vector<uint32_t> pending{key};
  while (!pending.empty()) {
    Key& entry = keys_[pending.back()];
    pending.pop_back();
    for (uint32_t child = entry.firstChild; child != kNone; child = keys_[child].nextSibling) pending.push_back(child);
    for (uint32_t section = entry.firstSection; section != kNone;) {
      Section& taken = sections_[section];
      section = taken.nextOfKey;
      taken.nextOfKey = kNone;
      if (!keepText) std::string().swap(taken.text);
    }
    // A root key stays, without its own lines.
    entry.exists = entry.parent == kNone;
    entry.revived = false;
    entry.sectionsBelow = 0;
    entry.firstChild = entry.nextSibling = entry.previousSibling = kNone;
    entry.firstSection = entry.lastSection = kNone;
  }
}

bool TRegistryFile::KeyExists(TRootKey root, const std::string& path) const {
  return FindExisting(root, path) != kNone;
}

bool TRegistryFile::CreateKey(TRootKey root, const std::string& path) {
  if (KeyExists(root, path)) return true;
  if (!NewNamesReadBack(root, path)) return false;
  GiveSection(Intern(RootIndex(root), path));
  return true;
}

bool TRegistryFile::NewNamesReadBack(TRootKey root, const std::string& path) const {
  uint32_t key = RootIndex(root);
  bool readsBack = true;
  ForEachComponent(path, [&](const std::string& name) {
    if (key != kNone) {
      const std::string folded = FoldCase(name);
      key = FindChild(key, folded, HashName(key, folded));
      if (key != kNone && !keys_[key].exists) key = kNone;
    }
    // The names of keys that exist were read from the file.
    readsBack = key != kNone || (!HasLineBreak(name) && EncodeText(encoding_, name));
    return readsBack;
  });
  return readsBack;
}

bool TRegistryFile::DeleteKey(TRootKey root, const std::string& path) {
  const uint32_t key = FindExisting(root, path);
  if (key == kNone || keys_[key].parent == kNone) return false;
  const bool revived = keys_[key].revived;
  const uint32_t parent = keys_[key].parent;
  Remove(key, false);
  // Without a removal line, the sections the file took out already would bring it back.
  if (revived) AppendSection("[-" + FullName(key) + "]" + lineBreak_ + lineBreak_);
  // A parent that only this key's sections created would vanish with them.
  if (keys_[parent].parent != kNone && keys_[parent].sectionsBelow == 0 && !keys_[parent].revived) {
    GiveSection(parent);
  }
  return true;
}

void TRegistryFile::ForEachValue(const std::string& text,
                                 const std::function<void(const ValueSpan&, const std::string&, size_t,
                                                          const std::string&)>& visit) {
  size_t begin = NextLine(text, 0);  // after the section's header line
  while (begin < text.size()) {
    size_t next = NextLine(text, begin);
    const std::string content = text.substr(begin, ContentEnd(text, begin, next) - begin);
    size_t trimmed = 0;
    if (IsBlankOrComment(content, trimmed)) {
      begin = next;
      continue;
    }
    ValueSpan span;
    span.start = begin;
    std::string logical = content.substr(trimmed);
    while (!logical.empty() && logical.back() == '\\' && next < text.size()) {
      logical.pop_back();
      const size_t following = NextLine(text, next);
      const std::string more = text.substr(next, ContentEnd(text, next, following) - next);
      logical += more.substr(std::min(more.find_first_not_of(" \t"), more.size()));
      next = following;
    }
    span.end = ContentEnd(text, begin, next);
    if (const std::optional<TValueLine> value = ReadValueName(logical)) {
      span.removal = IsValueRemoval(logical, *value);
      visit(span, logical, value->dataStart, value->name);
    }
    begin = next;
  }
}

std::optional<TRegValue> TRegistryFile::FindValue(TRootKey root, const std::string& path,
                                                  const std::string& name) const {
  const uint32_t key = FindExisting(root, path);
  if (key == kNone) return std::nullopt;
  const std::string folded = FoldCase(name);
  std::optional<TRegValue> found;
  for (uint32_t section = keys_[key].firstSection; section != kNone; section = sections_[section].nextOfKey) {
    ForEachValue(sections_[section].text, [&](const ValueSpan& span, const std::string& logical, size_t dataStart,
                                              const std::string& valueName) {
      if (FoldCase(valueName) != folded) return;
      if (span.removal) {
        found.reset();
      } else {
        found = ParseValueData(logical, TValueLine{valueName, dataStart}, wide_);
      }
    });
  }
  return found;
}

bool TRegistryFile::SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) {
  const uint32_t key = FindExisting(root, path);
  if (key == kNone || HasLineBreak(name)) return false;
  // A string ends at its first zero when it is read back from its bytes.
  if (value.type == kRegSz && value.text.find('\0') != std::string::npos) return false;
  const std::optional<std::string> line = FormatValueLine(name, value, wide_);
  if (!line || !EncodeText(encoding_, *line)) return false;
  if (keys_[key].firstSection == kNone) GiveSection(key);
  // The value's last line, where a new line replaces it; or after the key's last value line.
  const std::string folded = FoldCase(name);
  uint32_t lastIn = kNone;
  std::optional<ValueSpan> last;
  size_t insertAt = 0;
  for (uint32_t section = keys_[key].firstSection; section != kNone; section = sections_[section].nextOfKey) {
    const std::string& text = sections_[section].text;
    insertAt = NextLine(text, 0);
    ForEachValue(text, [&](const ValueSpan& span, const std::string&, size_t, const std::string& valueName) {
      insertAt = NextLine(text, span.end);
      if (FoldCase(valueName) != folded) return;
      lastIn = section;
      last = span;
    });
  }
  if (last && !last->removal) {
    sections_[lastIn].text.replace(last->start, last->end - last->start, *line);
    return true;
  }
  std::string& text = sections_[keys_[key].lastSection].text;
  if (insertAt == text.size() && (text.empty() || text.back() != '\n')) {
    text += lineBreak_ + *line;
  } else {
    text.insert(insertAt, *line + lineBreak_);
  }
  return true;
}

std::vector<std::string> TRegistryFile::KeyNames() const {
  std::vector<std::string> names;
  for (uint32_t key = 0; key < keys_.size(); ++key) {
    if (keys_[key].exists && keys_[key].parent != kNone) names.push_back(FullName(key));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool TRegistryFile::Write(const std::function<bool(const std::string&)>& sink) const {
  std::string chunk = ByteOrderMark(encoding_);
  bool lineEnded = true;
  auto add = [&](const std::string& text) {
    // A section made here after a last line without its line break starts on a line of its own.
    if (!lineEnded) chunk += EncodeText(encoding_, lineBreak_).value_or(std::string());
    lineEnded = text.back() == '\n';
    // Every text here was read from, or checked against, this encoding.
    chunk += EncodeText(encoding_, text).value_or(std::string());
    if (chunk.size() < kWriteChunk) return true;
    const bool written = sink(chunk);
    chunk.clear();
    return written;
  };
  if (!head_.empty() && !add(head_)) return false;
  for (const Section& section : sections_) {
    if (!section.text.empty() && !add(section.text)) return false;
  }
  return chunk.empty() || sink(chunk);
}

std::string TRegistryFile::Serialize() const {
  std::string bytes;
  Write([&](const std::string& chunk) {
    bytes += chunk;
    return true;
  });
  return bytes;
}

}  // namespace orvane
