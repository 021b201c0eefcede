// Drives Orvane.exe from outside, as a technician would: finds the tester window by its caption,
// clicks its buttons, reads its list box, its button check and its device status while the test
// SpeechMike component raises events, and its sound group while a private sound server's
// SpeechMike microphone carries a tone; closes it, then checks the log file and what the component
// was asked to do.
//
// At 96 DPI it writes where every control stands to LAYOUT_FILE; at another DPI it checks that
// every control stands there scaled.
//
// The window is checked no smaller than designed and every cell of the button check two lines
// high; the focus goes on from "Activer" to "Désactiver".
//
// Usage: TesterAutomation PROGRAM_FOLDER SCREENSHOT.bmp CHECK_SCREENSHOT.bmp LAYOUT_FILE
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/FormOrvaneLayout.h"
#include "platform/TextConversion.h"
#include "support/TestSoundServer.h"
#include "support/TestSpeechMikeServer_win.h"
#include "ui/ScreenScale.h"
#include "win/tester/Automation.h"

namespace {

using namespace automation;

struct ChildSearch {
  const wchar_t* kind;
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<ChildSearch*>(data);
  wchar_t kind[64] = {};
  GetClassNameW(child, kind, 64);
  if (lstrcmpiW(kind, search->kind) != 0) return TRUE;
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  if (!search->text.empty() && search->text != text) return TRUE;
  search->found = child;
  return FALSE;
}

HWND Child(HWND window, const wchar_t* kind, const std::wstring& text) {
  ChildSearch search{kind, text};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  if (!search.found) Fail("no " + Narrow(kind) + " \"" + Narrow(text) + "\" in the tester window");
  return search.found;
}

// A click as BM_CLICK makes it; a modal dialog left open by the handler would stall here, so
// the wait is bounded.
void Click(HWND button, const std::string& name) {
  DWORD_PTR result = 0;
  if (!button) return;
  if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kHangLimit, &result))
    Fail("the click on \"" + name + "\" did not return (a dialog is open?)");
}

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    lines.push_back(Narrow(text));
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string joined;
  for (const auto& line : lines) joined += "  " + line + "\n";
  return joined;
}

// The text of a control, as UTF-8.
std::string TextOf(HWND control) {
  wchar_t text[512] = {};
  if (control) GetWindowTextW(control, text, 512);
  return Narrow(text);
}

// The first of the window's static controls (the button check's cells, its progress line, the
// device status) whose text begins with Prefix.
HWND StaticControl(HWND window, const std::string& prefix) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t kind[64] = {};
    GetClassNameW(child, kind, 64);
    if (lstrcmpiW(kind, L"Static") == 0 && TextOf(child).compare(0, prefix.size(), prefix) == 0) return child;
  }
  return nullptr;
}

// Its text, or "" when there is no such control.
std::string StaticText(HWND window, const std::string& prefix) { return TextOf(StaticControl(window, prefix)); }

// Whether the button's cell says it is verified, with its hold time ("Stop : vérifié, 120 ms").
bool ShowsHoldTime(HWND window, const std::string& caption) {
  const std::string prefix = caption + " : vérifié, ";
  const std::string text = StaticText(window, prefix);
  const std::string hold = text.substr(std::min(text.size(), prefix.size()));
  const size_t digits = hold.find_first_not_of("0123456789,");
  return digits > 0 && digits != std::string::npos && (hold.substr(digits) == " ms" || hold.substr(digits) == " s");
}

// The test component's message window inside Orvane.exe: events posted to it are raised by the
// component there, on Orvane.exe's window thread.
HWND ComponentWindow(DWORD process) {
  for (HWND found = nullptr; (found = FindWindowExW(HWND_MESSAGE, found, L"OrvaneTestSpeechMike", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    if (owner == process) return found;
  }
  return nullptr;
}

void Raise(HWND component, int event, uint32_t value = 0) {
  constexpr UINT kFireFromOutside = WM_APP + 0x54;
  if (!PostMessageW(component, kFireFromOutside, static_cast<WPARAM>(event), static_cast<LPARAM>(value)))
    Fail("cannot post event " + std::to_string(event) + " to the test component");
}

// The button check half done and the device status filled, by events raised from here; the
// window is saved as it then stands.
void CheckHalfTheButtons(HWND window, DWORD process, const std::wstring& screenshot) {
  // The scripted events of the activation: Record went down and up.
  Expect(ShowsHoldTime(window, "Record"), "Record is verified with its hold time");
  Expect(StaticText(window, "Connexion : ") == "Connexion : —\nBatterie : —\nSans fil : —\nStation d'accueil : —",
         "the device status says that no event came");

  HWND component = ComponentWindow(process);
  if (!component) {
    Fail("no message window of the test component in Orvane.exe");
    return;
  }
  Raise(component, 1);
  Raise(component, 5, 3);
  Raise(component, 7, 2);
  Raise(component, 8, 1);
  // Ten buttons and Smart 3 down and straight up again; F3 comes up without going down; Smart 2
  // goes down last and stays down.
  for (uint32_t press : {2u, 4u, 8u, 10u, 12u, 14u, 16u, 18u, 20u, 22u, 58u}) {
    Raise(component, 3, press);
    Raise(component, 3, press + 1);
  }
  Raise(component, 3, 49);
  Raise(component, 3, 54);
  const std::string progress = "12 / 23 boutons vérifiés";
  if (!WaitFor([&] { return StaticText(window, "Smart 2 : ") == "Smart 2 : enfoncé"; }, 10000))
    Fail("the last event never reached the button check");
  if (StaticText(window, "12 / 23") != progress) Fail("the progress line is not \"" + progress + "\"");
  // The cells' window texts, which screen readers read, say each state in words.
  Expect(StaticText(window, "F3 : ") == "F3 : suspect, relâché sans appui", "F3 released without a press is suspect");
  Expect(ShowsHoldTime(window, "Stop"), "Stop is verified with its hold time");
  Expect(ShowsHoldTime(window, "Smart 3"), "Smart 3 is verified by its release 59");
  Expect(StaticText(window, "F1 : ") == "F1 : non testé", "F1 is not seen");
  const std::string status = StaticText(window, "Connexion : connecté (1) à ");
  for (const char* line : {"\nBatterie : 3 à ", "\nSans fil : 2 à ", "\nStation d'accueil : 1 à "})
    Expect(status.find(line) != std::string::npos, "the device status lacks \"" + std::string(line + 1) + "\"");
  if (!screenshot.empty()) SaveScreenshot(window, screenshot);
}

// The Philips drivers' feature registration, so that the start-up verification finds them
// installed; what was there before is put back afterwards.
class DriversRegistered {
 public:
  DriversRegistered() {
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kFeatures, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, &disposition) !=
        ERROR_SUCCESS) {
      Fail("cannot register the drivers' feature key");
      return;
    }
    createdKey_ = disposition == REG_CREATED_NEW_KEY;
    createdValue_ = RegQueryValueExW(key_, L"SpMikeCtrl", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS;
    if (createdValue_) RegSetValueExW(key_, L"SpMikeCtrl", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
  }
  ~DriversRegistered() {
    if (!key_) return;
    if (createdValue_) RegDeleteValueW(key_, L"SpMikeCtrl");
    RegCloseKey(key_);
    if (createdKey_) RegDeleteKeyW(HKEY_CLASSES_ROOT, kFeatures);
  }

 private:
  static constexpr const wchar_t* kFeatures = L"Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267";
  HKEY key_ = nullptr;
  bool createdKey_ = false;
  bool createdValue_ = false;
};

// The captions of the controls that take the focus with Tab, in their order.
std::vector<std::string> TabOrder(HWND window) {
  std::vector<std::string> order;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP)) continue;
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    order.push_back(Narrow(text));
  }
  return order;
}

RECT Bounds(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  return r;
}

// Resizes the window to Width x Height as the screen has them. A size asked of another program's
// window is taken in the asking thread's DPI and converted to the window's: Wine gives that window
// 96 DPI whatever it declares, and Windows the system's; asking in the window's terms serves both.
void Resize(HWND window, LONG width, LONG height) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  const auto dpiFor = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  HDC screen = GetDC(nullptr);
  const int own = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int theirs = dpiFor ? static_cast<int>(dpiFor(window)) : own;
  SetWindowPos(window, nullptr, 0, 0, MulDiv(width, own, theirs), MulDiv(height, own, theirs), SWP_NOMOVE | SWP_NOZORDER);
}

// Whether Wanted appear in Lines in this order, each somewhere after the previous one.
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted, std::string& missing) {
  size_t at = 0;
  for (const auto& w : wanted) {
    while (at < lines.size() && lines[at].find(w) == std::string::npos) ++at;
    if (at == lines.size()) {
      missing = w;
      return false;
    }
    ++at;
  }
  return true;
}

// A string of the program's version resource, from its French (Canada) block.
std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040C04E4\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) return {};
  return std::wstring(value, wcsnlen(value, length));
}

// What Orvane.exe carries: its version, its manifest and its icon in every size.
void CheckResources(const std::wstring& program) {
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data())) {
    Fail("Orvane.exe has no version resource");
  } else {
    Expect(VersionString(info, L"ProductName") == L"Orvane", "the product name is Orvane");
    Expect(VersionString(info, L"FileDescription") == L"Orvane - Pilotes de Philips",
           "the description is \"Orvane - Pilotes de Philips\"");
    Expect(Narrow(VersionString(info, L"ProductVersion")) == ORVANE_VERSION,
           "the product version is the project's, " + std::string(ORVANE_VERSION));
  }
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return Fail("Orvane.exe cannot be read for its resources");
  const auto resource = [&](LPCWSTR type, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return data ? std::string(data, SizeofResource(module, found)) : std::string();
  };
  const std::string manifest = resource(RT_MANIFEST, 1);
  for (const char* wanted : {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "<dpiAware>true</dpiAware>"})
    Expect(manifest.find(wanted) != std::string::npos, std::string("the manifest holds ") + wanted);
  // An icon group: a 6-byte header, then 14-byte entries whose first byte is the width (0 for 256).
  const std::string icons = resource(RT_GROUP_ICON, 1);
  std::vector<int> widths;
  for (size_t at = 6; at + 14 <= icons.size(); at += 14) {
    const int width = static_cast<unsigned char>(icons[at]);
    widths.push_back(width == 0 ? 256 : width);
  }
  std::sort(widths.begin(), widths.end());
  Expect(widths == std::vector<int>{16, 24, 32, 48, 64, 128, 256}, "the icon comes in every size from 16 to 256");
  FreeLibrary(module);
}

// Every control of the window, by kind and caption, with its place in the client area.
struct ControlPlace {
  std::string name;
  orvane::TControlRect rect;
};

std::vector<ControlPlace> ControlPlaces(HWND window) {
  std::vector<ControlPlace> places;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t kind[64] = {}, text[256] = {};
    GetClassNameW(child, kind, 64);
    GetWindowTextW(child, text, 256);
    RECT r = Bounds(child);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    // A caption's first words: a cell of the button check says a hold time after them, which
    // differs from run to run, as the sound's figure does.
    std::string caption = Narrow(text);
    caption = caption.substr(0, std::min(caption.find('\n'), caption.find(" : ")));
    if (caption.ends_with(" dBFS")) caption = "dBFS";
    places.push_back({Narrow(kind) + " \"" + caption + "\"", {r.left, r.top, r.right - r.left, r.bottom - r.top}});
  }
  return places;
}

// The size of Text in the window's font, 8 points of MS Sans Serif at the screen's DPI.
SIZE TextSize(const std::wstring& text, int dpi) {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size;
}

// The sound group's figure, "-20,0 dBFS"; "" before the first.
std::string SoundFigure(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t kind[64] = {};
    GetClassNameW(child, kind, 64);
    const std::string text = TextOf(child);
    if (lstrcmpiW(kind, L"Static") == 0 && text.ends_with(" dBFS") && !text.starts_with("Niveau")) return text;
  }
  return {};
}

// The sound group once the tone has been measured: the SpeechMike's microphone rather than the
// default one, the tone's level, neither saturation nor silence, the bar saying its level in words.
void CheckTheSound(HWND window) {
  if (!WaitFor([&] { return !SoundFigure(window).empty() || !StaticText(window, "Micro ").empty(); }))
    return Fail("the sound group never showed a level");
  Expect(StaticText(window, "Micro ").empty() && StaticText(window, "Aucun").empty(),
         "the sound group shows no fault: " + StaticText(window, "Micro ") + StaticText(window, "Aucun"));
  Expect(StaticText(window, "« ") == "« SpeechMike III »", "the sound group measures « SpeechMike III », not " +
                                                             StaticText(window, "« "));
  // Wine's default capture endpoint is an alias of its own, never the SpeechMike's.
  Expect(StaticText(window, "par défaut : ") == "par défaut : non", "the SpeechMike is not the default");
  const std::string figure = SoundFigure(window);
  std::string number = figure.substr(0, figure.find(' '));
  std::replace(number.begin(), number.end(), ',', '.');
  Expect(!number.empty() && std::abs(std::atof(number.c_str()) + 20) <= 0.5,
         "the tone of -20 dBFS shows as " + figure);
  Expect(StaticText(window, "Niveau : ") == "Niveau : " + figure, "the bar says the level in words");
  Expect(StaticText(window, "saturation : ") == "saturation : non", "no saturation");
  Expect(StaticText(window, "silence : ") == "silence : non", "no silence");
  // Each text whole on its line, at the screen's DPI, inside an alert's heaviest border.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  for (const char* prefix : {"« ", "par défaut : ", "-", "saturation : ", "silence : "}) {
    HWND part = StaticControl(window, prefix);
    RECT client{};
    GetClientRect(part, &client);
    const bool alert = std::string(prefix) == "saturation : " || std::string(prefix) == "silence : ";
    const int room = client.right - (alert ? 2 * orvane::ScaleToDpi(orvane::kSoundAlertBorder, dpi) : 0);
    const std::wstring text = orvane::Utf8ToWide(TextOf(part));
    Expect(part && TextSize(text, dpi).cx <= room, "\"" + TextOf(part) + "\" fits its line");
  }
}

// "Enregistrer 5 s", then "Réécouter" once the recording is ready, where the keyboard's focus
// then is.
void RecordAndReplay(HWND window, DWORD thread) {
  HWND record = Child(window, L"Button", L"Enregistrer 5 s");
  HWND replay = Child(window, L"Button", L"R\u00e9\u00e9couter");
  Expect(record && IsWindowEnabled(record) && replay && !IsWindowEnabled(replay),
         "\"Enregistrer 5 s\" is enabled and \"Réécouter\" not before a recording");
  Click(record, "Enregistrer 5 s");
  Expect(StaticText(window, "Enregistrement") == "Enregistrement de 5 s...", "the group says it records");
  Expect(!IsWindowEnabled(record) && !IsWindowEnabled(replay), "both buttons wait during the recording");
  if (!WaitFor([&] { return IsWindowEnabled(replay); })) return Fail("the recording never ended");
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  Expect(GetGUIThreadInfo(thread, &info) && info.hwndFocus == replay, "the focus goes on to \"Réécouter\"");
  Click(replay, "Réécouter");
  Expect(StaticText(window, "Réécoute") == "Réécoute...", "the group says it plays");
  if (!WaitFor([&] { return IsWindowEnabled(record); })) Fail("the replay never ended");
}

// Each cell of the button check holds its caption and its state, two lines of the window's font,
// inside its heaviest border: the lines cannot overlap.
void CheckCellsHoldTwoLines(HWND window, int dpi) {
  const int needed = 2 * TextSize(L"Ég", dpi).cy + 2 * orvane::ScaleToDpi(2, dpi);
  int cells = 0;
  for (const auto& place : ControlPlaces(window)) {
    const auto named = [&](const orvane::TSpeechMikeButton& button) {
      return place.name == "Static \"" + std::string(button.caption) + "\"";
    };
    if (std::none_of(orvane::kSpeechMikeButtons.begin(), orvane::kSpeechMikeButtons.end(), named)) continue;
    ++cells;
    Expect(place.rect.height >= needed, place.name + " is " + std::to_string(place.rect.height) +
                                            " pixels high, less than two lines of text: " + std::to_string(needed));
  }
  Expect(cells == 23, "23 cells in the button check, not " + std::to_string(cells));
}

// At the design DPI the places are written to File; at another DPI each control must stand at
// its design place scaled. The label sized by its text shows the font: its size is the text's
// at 8 points for the screen's DPI.
void CheckLayout(HWND window, int dpi, const std::wstring& file) {
  const std::vector<ControlPlace> places = ControlPlaces(window);
  const std::string label = "Static \"Les commandes :\"";
  const SIZE text = TextSize(L"Les commandes :", dpi);
  for (const auto& p : places)
    if (p.name == label)
      Expect(p.rect.width == text.cx && p.rect.height == text.cy,
             "the label's font is 8 points at " + std::to_string(dpi) + " DPI");
  if (dpi == orvane::kDesignDpi) {
    std::ofstream out(file.c_str());
    for (const auto& p : places)
      out << p.rect.left << ' ' << p.rect.top << ' ' << p.rect.width << ' ' << p.rect.height << ' ' << p.name << '\n';
    return;
  }
  std::ifstream in(file.c_str());
  std::vector<ControlPlace> design;
  ControlPlace p;
  while (in >> p.rect.left >> p.rect.top >> p.rect.width >> p.rect.height && std::getline(in >> std::ws, p.name))
    design.push_back(p);
  if (design.size() != places.size()) return Fail("no layout at 96 DPI to compare with (run the 96 DPI check first)");
  for (size_t i = 0; i < places.size(); ++i) {
    orvane::TControlRect expected = orvane::ScaleToDpi(design[i].rect, dpi);
    const orvane::TControlRect seen = places[i].rect;
    if (places[i].name == label) {
      expected.width = seen.width;
      expected.height = seen.height;
    }
    if (places[i].name != design[i].name || !(seen == expected))
      Fail(places[i].name + " stands at " + std::to_string(seen.left) + "," + std::to_string(seen.top) + " " +
           std::to_string(seen.width) + "x" + std::to_string(seen.height) + " instead of " +
           std::to_string(expected.left) + "," + std::to_string(expected.top) + " " + std::to_string(expected.width) +
           "x" + std::to_string(expected.height));
  }
}

}  // namespace

// The test component registered for the user while the check runs (the DLL stands beside this
// program). Orvane.exe loads it in its own process, so what it must do is told through the
// environment that Orvane.exe inherits: the button events to raise after each activation, and
// the file that records every call.
class ComponentRegistered {
 public:
  explicit ComponentRegistered(const std::wstring& callsFile) {
    SetEnvironmentVariableW(L"ORVANE_TEST_SPM_EVENTS", L"6,7,4294967295,58");
    SetEnvironmentVariableW(L"ORVANE_TEST_SPM_CALLS", callsFile.c_str());
    try {
      orvane::testing::TestSpeechMikeServer::Get().Register();
      registered_ = true;
    } catch (const std::exception& e) {
      Fail(std::string("cannot register the test component: ") + e.what());
    }
  }
  ~ComponentRegistered() {
    if (registered_) orvane::testing::TestSpeechMikeServer::Get().Unregister();
  }

 private:
  bool registered_ = false;
};

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::printf("usage: TesterAutomation PROGRAM_FOLDER SCREENSHOT.bmp CHECK_SCREENSHOT.bmp LAYOUT_FILE\n");
    return 2;
  }
  // Coordinates as the screen has them, like Orvane.exe's, whatever the DPI.
  SetProcessDPIAware();
  const std::wstring folder = argv[1];
  const std::wstring screenshot = argv[2];
  const std::wstring checkScreenshot = argv[3];
  const std::wstring layout = argv[4];
  const std::wstring callsFile = folder + L"\\calls.txt";

  CheckResources(folder + L"\\Orvane.exe");
  // At the socket that Orvane.exe's sound driver reads as it starts, the SpeechMike's microphone
  // carrying a tone.
  orvane::testing::TestSoundServer soundServer;
  soundServer.Feed(orvane::testing::Sine(orvane::testing::TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));
  DriversRegistered drivers;
  ComponentRegistered component(callsFile);
  WineDrawsFrames frames;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + folder + L"\\Orvane.exe\"";
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    Fail("Orvane.exe does not start");
    return 1;
  }

  HWND window = nullptr;
  WaitFor([&] { return (window = FindWindowW(nullptr, L"Orvane - Pilotes de Philips")) && IsWindowVisible(window); });
  if (!window) {
    Fail("no window titled \"Orvane - Pilotes de Philips\"");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }

  HWND activer = Child(window, L"Button", L"Activer");
  HWND desactiver = Child(window, L"Button", L"D\u00e9sactiver");
  HWND play = Child(window, L"Button", L"spmDisplayStatePlay");
  HWND ticks = Child(window, L"Button", L"Time (Ticks)");
  HWND list = Child(window, L"ListBox", L"");
  Expect(activer && IsWindowEnabled(activer), "\"Activer\" is enabled at start");
  Expect(desactiver && !IsWindowEnabled(desactiver), "\"Désactiver\" is disabled at start");

  // The test component fires its events once the device is activated.
  Click(activer, "Activer");
  Expect(!IsWindowEnabled(activer) && IsWindowEnabled(desactiver), "activation switches the buttons");
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  Expect(GetGUIThreadInfo(process.dwThreadId, &thread) && thread.hwndFocus == desactiver,
         "the focus goes on from \"Activer\" to \"Désactiver\"");
  const std::vector<std::string> expected = {
      "4 - Action : spmSmart3Pressed - EventID = 58",
      "3 - Action : Action inconnue - EventID = 4294967295",
      "2 - Action : spmRecordReleased - EventID = 7",
      "1 - Action : spmRecordPressed - EventID = 6",
  };
  WaitFor([&] { return ListLines(list).size() >= expected.size(); });
  const auto lines = ListLines(list);
  if (lines != expected) Fail("the list box holds\n" + Join(lines) + "instead of\n" + Join(expected));
  CheckTheSound(window);

  SaveScreenshot(window, screenshot);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  CheckLayout(window, dpi, layout);
  CheckCellsHoldTwoLines(window, dpi);

  // Tab enters a radio group at its selected item.
  const std::vector<std::string> tabOrder = {"Activer", "Désactiver", "OFF",
                                             "Vider la liste des commandes", "Commandes", "Exporter les logs", "",
                                             "ShowMessage de GetTickCount", "Enregistrer 5 s", "Réécouter"};
  if (TabOrder(window) != tabOrder) Fail("the tab order is\n" + Join(TabOrder(window)));

  // Three newspaper columns of equal width share the list's width.
  RECT client{}, item{};
  GetClientRect(list, &client);
  SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  Expect(item.right - item.left == client.right / 3, "the list's columns are a third of its width");

  // Growing the window: the list follows every side, the lights the bottom.
  HWND lights = Child(window, L"Button", L"Philips SpeechMike - Lumi\u00e8res");
  HWND check = Child(window, L"Button", L"V\u00e9rification des boutons");
  HWND status = Child(window, L"Button", L"\u00c9tat du micro");
  HWND stopCell = StaticControl(window, "Stop : ");
  const RECT checkBefore = Bounds(check), statusBefore = Bounds(status), stopBefore = Bounds(stopCell);
  const RECT listBefore = Bounds(list), lightsBefore = Bounds(lights), outer = Bounds(window);
  Resize(window, outer.right - outer.left + 100, outer.bottom - outer.top + 60);
  const RECT listAfter = Bounds(list), lightsAfter = Bounds(lights), grown = Bounds(window);
  const LONG dx = (grown.right - grown.left) - (outer.right - outer.left);
  const LONG dy = (grown.bottom - grown.top) - (outer.bottom - outer.top);
  Expect(dx == 100 && dy == 60, "the window grows as asked, by " + std::to_string(dx) + " x " + std::to_string(dy));
  Expect(listAfter.left == listBefore.left && listAfter.top == listBefore.top &&
             listAfter.right == listBefore.right + dx && listAfter.bottom == listBefore.bottom + dy,
         "the list follows the window's four sides");
  Expect(lightsAfter.left == lightsBefore.left && lightsAfter.top == lightsBefore.top + dy &&
             lightsAfter.right - lightsAfter.left == lightsBefore.right - lightsBefore.left,
         "the lights follow the window's left and bottom sides");
  const RECT checkAfter = Bounds(check), statusAfter = Bounds(status), stopAfter = Bounds(stopCell);
  Expect(checkAfter.left == checkBefore.left + dx && checkAfter.top == checkBefore.top + dy &&
             stopAfter.left == stopBefore.left + dx && stopAfter.top == stopBefore.top + dy,
         "the button check and its cells follow the window's right and bottom sides");
  Expect(statusAfter.left == statusBefore.left + dx && statusAfter.top == statusBefore.top,
         "the device status follows the window's right and top sides");
  // Never smaller than designed, at the screen's DPI: the groups would cover the lights and the
  // buttons. The check is shown, and saved, at the design size.
  const SIZE design{orvane::ScaleToDpi(orvane::kFormOrvaneOuterWidth, dpi),
                    orvane::ScaleToDpi(orvane::kFormOrvaneOuterHeight, dpi)};
  Resize(window, design.cx * 2 / 3, design.cy * 2 / 3);
  const RECT shrunk = Bounds(window);
  Expect(shrunk.right - shrunk.left == design.cx && shrunk.bottom - shrunk.top == design.cy,
         "the window is no smaller than its design size, " + std::to_string(design.cx) + " x " +
             std::to_string(design.cy) + ", not " + std::to_string(shrunk.right - shrunk.left) + " x " +
             std::to_string(shrunk.bottom - shrunk.top));

  CheckHalfTheButtons(window, process.dwProcessId, checkScreenshot);
  // Five seconds recorded and played back: once is enough, at the design's DPI.
  if (dpi == orvane::kDesignDpi) RecordAndReplay(window, process.dwThreadId);

  Click(play, "spmDisplayStatePlay");
  Click(desactiver, "Désactiver");
  Expect(IsWindowEnabled(activer) && !IsWindowEnabled(desactiver), "deactivation switches the buttons back");
  Click(ticks, "Time (Ticks)");
  Expect(ListLines(list).empty(), "a change of display clears the list");

  CloseAndExpectCleanEnd(window, process);

  // What the component was asked to do, in order.
  const std::vector<std::string> calls = ReadLines(callsFile);
  const std::vector<std::string> expectedCalls = {
      "InitializeDevice(0)",    "ActivateDevice()",       "SetDisplayState(0,2)",
      "SetDisplayState(0,1)",   "SetDisplayState(0,5)",   "UninitializeDevice()",
      "DeactivateDevice()",
  };
  if (calls != expectedCalls) Fail("the component received\n" + Join(calls) + "instead of\n" + Join(expectedCalls));

  // The log of the run, whatever file name the configuration gives it.
  std::vector<std::wstring> files;
  FindFiles(folder + L"\\log", files);
  std::vector<std::string> log;
  for (const auto& file : files) {
    // The journal, not the error context that a memory logger dumps beside it.
    if (file.find(L"erreurs") != std::wstring::npos) continue;
    for (const auto& line : ReadLines(file)) log.push_back(line);
  }
  std::string missing;
  if (!InOrder(log,
               {"Vérification de l'installation des pilotes SM sur le poste", "AjustementCleRegistreSM - IN",
                "TDataPhilips.OpenPHILIPSDictCtrl - IN", "TDataPhilips.OpenPHILIPSDictCtrl - OUT",
                "LumiereSpeechMikePro - 2", "LumiereSpeechMikePro - 1", "LumiereSpeechMikePro - 5",
                "TDataPhilips.ClosePHILIPSDictCtrl - IN", "TDataPhilips.ClosePHILIPSDictCtrl - OUT"},
               missing))
    Fail("the log lacks \"" + missing + "\" in its place; it holds\n" + Join(log));

  // The device's own events and the check's record, for support reading the log later.
  if (!InOrder(log,
               {"Micro connecté (1)", "Micro (1) : état de la batterie 3",
                "Micro (1) : état de la liaison sans fil 2", "Micro (1) : état de la station d'accueil 1",
                "TDataPhilips.ClosePHILIPSDictCtrl - OUT",
                "Vérification des boutons : 12/23 vérifiés ; suspects : F3 (relâché sans appui) ; non testés : Menu "
                "up, Menu down, Menu, Instruction, F1, F2, F4, Smart 1"},
               missing))
    Fail("the log lacks \"" + missing + "\" in its place; it holds\n" + Join(log));
  // The sound's record: the device chosen, the recording and its replay, then its outcome beside
  // the buttons'.
  std::vector<std::string> sound = {
      "Son du micro : « SpeechMike III » ; par défaut : non ; réécoute sur « SpeechMike III »"};
  if (dpi == orvane::kDesignDpi)
    sound.insert(sound.end(), {"Son du micro : enregistrement de 5 s terminé", "Son du micro : réécoute terminée"});
  sound.push_back("Vérification des boutons : ");
  sound.push_back("Vérification du son : « SpeechMike III » ; par défaut : non ; crête -");
  if (!InOrder(log, sound, missing)) Fail("the log lacks \"" + missing + "\" in its place; it holds\n" + Join(log));
  Expect(!InOrder(log, {"Son du micro : Micro"}, missing), "no sound fault is logged");
  // The change of display after the deactivation clears a check already logged.
  Expect(!InOrder(log, {"(interrompue)"}, missing), "no check is logged as interrupted");

  std::printf(failures ? "%d check(s) failed\n" : "all checks passed\n", failures);
  return failures ? 1 : 0;
}
