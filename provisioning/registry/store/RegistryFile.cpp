#include "provisioning/registry/store/RegistryFile.h"

#include <sstream>

#include "provisioning/registry/store/ExportValue.h"

namespace orvane {

namespace {

const char kVersion5[] = "Windows Registry Editor Version 5.00";
const char kVersion4[] = "REGEDIT4";
const size_t kWriteChunk = 1 << 20;

char FoldChar(char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); }

std::string Fold(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) c = FoldChar(c);
  return folded;
}

uint32_t HashFolded(const std::string& folded) {
  uint32_t hash = 2166136261u;
  for (char c : folded) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  return hash;
}

const uint32_t kVacated = UINT32_MAX;

std::string FullName(TRootKey root, const std::string& path) {
  return path.empty() ? std::string(RootKeyName(root)) : std::string(RootKeyName(root)) + "\\" + path;
}

bool IsRootName(const std::string& name) {
  for (TRootKey root : {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                        TRootKey::CurrentConfig}) {
    if (Fold(name) == Fold(RootKeyName(root))) return true;
  }
  return false;
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

}  // namespace

TRegistryFile::TRegistryFile() : head_(std::string(kVersion5) + "\r\n\r\n") {}

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
  size_t end = close;
  while (end > begin && line[end - 1] == '\\') --end;
  const std::string name = line.substr(begin, end - begin);
  if (!IsRootName(name.substr(0, name.find('\\')))) Malformed(lineNumber);
  const std::string folded = Fold(name);
  inRemoval_ = removal;
  if (removal) {
    Remove(folded, true);
  } else if (Section* existing = Find(folded); existing && existing->state == TState::Live) {
    // A key named twice is one key: its lines join those of its first section.
    current_ = existing - sections_.data();
    return;
  } else if (existing) {
    DropImplied(*existing);
  }
  Section section;
  section.text = line;
  section.nameBegin = static_cast<uint32_t>(begin);
  section.nameLength = static_cast<uint32_t>(end - begin);
  section.state = removal ? TState::Removed : TState::Live;
  sections_.push_back(std::move(section));
  current_ = static_cast<int64_t>(sections_.size() - 1);
  if (!removal) {
    Index(static_cast<uint32_t>(current_), HashFolded(folded));
    NoteImpliedParents(folded);
  }
}

std::string TRegistryFile::NameOf(const Section& section) const {
  return section.text.substr(section.nameBegin, section.nameLength);
}

const TRegistryFile::Section* TRegistryFile::Find(const std::string& folded) const {
  if (slots_.empty()) return nullptr;
  const uint32_t hash = HashFolded(folded);
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& entry = slots_[slot];
    if (entry.number == 0) return nullptr;
    if (entry.number == kVacated || entry.hash != hash) continue;
    const Section& section = sections_[entry.number - 1];
    if (section.nameLength != folded.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < folded.size(); ++i) same = FoldChar(section.text[section.nameBegin + i]) == folded[i];
    if (same) return &section;
  }
}

TRegistryFile::Section* TRegistryFile::Find(const std::string& folded) {
  return const_cast<Section*>(static_cast<const TRegistryFile*>(this)->Find(folded));
}

TRegistryFile::Section* TRegistryFile::FindLive(const std::string& folded) {
  Section* section = Find(folded);
  return section && section->state == TState::Live ? section : nullptr;
}

void TRegistryFile::Index(uint32_t number, uint32_t hash) {
  // At most half the slots in use, so that a search soon meets an empty one.
  if ((used_ + 1) * 2 > slots_.size()) {
    std::vector<Slot> old = std::move(slots_);
    size_t live = 0;
    for (const Slot& entry : old) live += entry.number != 0 && entry.number != kVacated;
    size_t size = 64;
    while ((live + 1) * 4 > size) size *= 2;
    slots_.assign(size, Slot{});
    used_ = 0;
    for (const Slot& entry : old) {
      if (entry.number == 0 || entry.number == kVacated) continue;
      size_t free = entry.hash & (size - 1);
      while (slots_[free].number != 0) free = (free + 1) & (size - 1);
      slots_[free] = entry;
      ++used_;
    }
  }
  const size_t mask = slots_.size() - 1;
  size_t free = hash & mask;
  while (slots_[free].number != 0 && slots_[free].number != kVacated) free = (free + 1) & mask;
  if (slots_[free].number == 0) ++used_;
  slots_[free] = Slot{hash, number + 1};
}

void TRegistryFile::Unindex(const Section& section) {
  const auto number = static_cast<uint32_t>(&section - sections_.data()) + 1;
  const uint32_t hash = HashFolded(Fold(NameOf(section)));
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask; slots_[slot].number != 0; slot = (slot + 1) & mask) {
    if (slots_[slot].number == number) {
      slots_[slot].number = kVacated;
      return;
    }
  }
}

void TRegistryFile::NoteImpliedParents(const std::string& folded) {
  // From the nearest parent up to the first that exists, whose own parents then exist too. The
  // first separator ends the root key's name.
  const size_t rootEnd = folded.find('\\');
  for (size_t separator = folded.rfind('\\'); separator != std::string::npos && separator > rootEnd;
       separator = folded.rfind('\\', separator - 1)) {
    std::string parent = folded.substr(0, separator);
    if (Find(parent)) break;
    Section implied;
    implied.nameLength = static_cast<uint32_t>(parent.size());
    implied.text = std::move(parent);
    implied.state = TState::Implied;
    sections_.push_back(std::move(implied));
    Index(static_cast<uint32_t>(sections_.size() - 1), HashFolded(sections_.back().text));
  }
}

void TRegistryFile::DropImplied(Section& implied) {
  Unindex(implied);
  implied.state = TState::Removed;
  std::string().swap(implied.text);
}

uint32_t TRegistryFile::AppendSection(const std::string& fullName) {
  if (Section* implied = Find(Fold(fullName)); implied && implied->state == TState::Implied) DropImplied(*implied);
  // What comes before ends with a line break, so the new section starts on a line of its own.
  std::string* last = &head_;
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (it->state != TState::Implied && !it->text.empty()) {
      last = &it->text;
      break;
    }
  }
  if (!last->empty() && last->back() != '\n') *last += lineBreak_;
  Section section;
  section.text = "[" + fullName + "]" + lineBreak_ + lineBreak_;
  section.nameBegin = 1;
  section.nameLength = static_cast<uint32_t>(fullName.size());
  sections_.push_back(std::move(section));
  const auto number = static_cast<uint32_t>(sections_.size() - 1);
  Index(number, HashFolded(Fold(fullName)));
  NoteImpliedParents(Fold(fullName));
  return number;
}

void TRegistryFile::Remove(const std::string& folded, bool keepText) {
  const std::string prefix = folded + "\\";
  for (Section& section : sections_) {
    if (section.state == TState::Removed) continue;
    const std::string name = Fold(NameOf(section));
    if (name != folded && name.compare(0, prefix.size(), prefix) != 0) continue;
    Unindex(section);
    if (!keepText || section.state == TState::Implied) std::string().swap(section.text);
    section.state = TState::Removed;
  }
}

bool TRegistryFile::KeyExists(TRootKey root, const std::string& path) const {
  return path.empty() || Find(Fold(FullName(root, path)));
}

bool TRegistryFile::CreateKey(TRootKey root, const std::string& path) {
  if (KeyExists(root, path)) return true;
  const std::string fullName = FullName(root, path);
  if (!EncodeText(encoding_, fullName)) return false;
  AppendSection(fullName);
  return true;
}

bool TRegistryFile::DeleteKey(TRootKey root, const std::string& path) {
  if (path.empty() || !KeyExists(root, path)) return false;
  // A parent that only this key named would vanish with it: it gets a section of its own.
  for (size_t separator = 0; (separator = path.find('\\', separator + 1)) != std::string::npos;) {
    const std::string parent = FullName(root, path.substr(0, separator));
    const Section* section = Find(Fold(parent));
    if (section && section->state == TState::Implied) AppendSection(parent);
  }
  Remove(Fold(FullName(root, path)), false);
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
  const Section* section = Find(Fold(FullName(root, path)));
  if (!section || section->state != TState::Live) return std::nullopt;
  const std::string folded = Fold(name);
  std::optional<TRegValue> found;
  ForEachValue(section->text, [&](const ValueSpan& span, const std::string& logical, size_t dataStart,
                                  const std::string& valueName) {
    if (Fold(valueName) != folded) return;
    if (span.removal) {
      found.reset();
    } else {
      TValueLine line{valueName, dataStart};
      found = ParseValueData(logical, line, wide_);
    }
  });
  return found;
}

bool TRegistryFile::SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) {
  const std::string fullName = FullName(root, path);
  Section* section = FindLive(Fold(fullName));
  if (!section) {
    if (!path.empty() && !KeyExists(root, path)) return false;
    if (!EncodeText(encoding_, fullName)) return false;
    section = &sections_[AppendSection(fullName)];
  }
  const std::optional<std::string> line = FormatValueLine(name, value, wide_);
  if (!line || !EncodeText(encoding_, *line)) return false;
  const std::string folded = Fold(name);
  std::optional<ValueSpan> last;
  size_t insertAt = NextLine(section->text, 0);
  ForEachValue(section->text, [&](const ValueSpan& span, const std::string&, size_t, const std::string& valueName) {
    insertAt = NextLine(section->text, span.end);
    if (Fold(valueName) == folded) last = span;
  });
  std::string& text = section->text;
  if (last && !last->removal) {
    text.replace(last->start, last->end - last->start, *line);
  } else if (insertAt == text.size() && (text.empty() || text.back() != '\n')) {
    text += lineBreak_ + *line;
  } else {
    text.insert(insertAt, *line + lineBreak_);
  }
  return true;
}

std::vector<std::string> TRegistryFile::KeyNames() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (section.state == TState::Live) names.push_back(NameOf(section));
  }
  return names;
}

bool TRegistryFile::Write(const std::function<bool(const std::string&)>& sink) const {
  std::string chunk = ByteOrderMark(encoding_);
  auto add = [&](const std::string& text) {
    // Every text here was read from, or checked against, this encoding.
    chunk += EncodeText(encoding_, text).value_or(std::string());
    if (chunk.size() < kWriteChunk) return true;
    const bool written = sink(chunk);
    chunk.clear();
    return written;
  };
  if (!add(head_)) return false;
  for (const Section& section : sections_) {
    if (section.state != TState::Implied && !section.text.empty() && !add(section.text)) return false;
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
