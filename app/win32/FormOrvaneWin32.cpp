#include "app/win32/FormOrvaneWin32.h"

#include <algorithm>

#include "app/win32/OrvaneResources.h"
#include "common/TextConversion.h"
#include "ui/win32/ScreenScaleWin32.h"

namespace orvane {
namespace {

constexpr wchar_t kClassName[] = L"TFormOrvane";
constexpr int kOuterWidth = 1000;
constexpr int kOuterHeight = 677;

enum ControlId : int {
  kIdActiver = 100,
  kIdDesactiver,
  kIdVideMemo,
  kIdExport,
  kIdButton1,
  kIdListBox,
  kIdLabel,
  kIdLumiereGroup,
  kIdDisplayGroup,
  kIdLumiere0 = 200,
  kIdDisplay0 = 300,
};

// Every rectangle here is a design rectangle at 96 DPI; Create and Anchor lay them out at the
// screen's DPI through ScaledRect, so a control added to the window scales with the others.
constexpr RECT kListRect{16, 152, 16 + 953, 152 + 273};
constexpr RECT kLumiereRect{16, 439, 16 + 617, 439 + 185};

constexpr int kTextHeight = 13;

RECT ItemRect(int index, int count, int columns, int width, int height) {
  const TItemRect r = RadioGroupItemRect(index, count, columns, width, height, kTextHeight);
  return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

HFONT MakeFont(const wchar_t* face, int points, BYTE charset) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

TFormOrvaneWin32::TFormOrvaneWin32() : presenter_(this) {}

TFormOrvaneWin32::~TFormOrvaneWin32() {
  presenter_.SetView(nullptr);
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
  if (listFont_) DeleteObject(listFont_);
}

HWND TFormOrvaneWin32::Create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &TFormOrvaneWin32::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ORVANE_ICON));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);

  const int width = Scaled(kOuterWidth), height = Scaled(kOuterHeight);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Utf8ToWide(kFormOrvaneCaption).c_str(),
                            WS_OVERLAPPEDWINDOW, std::max(0, left), std::max(0, top), width, height, nullptr,
                            nullptr, instance, this);
  if (!window_) return nullptr;
  RECT client{};
  GetClientRect(window_, &client);
  designClient_ = SIZE{client.right, client.bottom};

  font_ = MakeFont(L"MS Sans Serif", 8, DEFAULT_CHARSET);
  listFont_ = MakeFont(L"Times New Roman", 8, ANSI_CHARSET);

  // Every control of the window is made here, from its design rectangle.
  const auto control = [&](const wchar_t* kind, const std::string& text, DWORD style, RECT design, int id,
                           HWND parent = nullptr) {
    const RECT r = ScaledRect(design);
    HWND h = CreateWindowExW(0, kind, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, parent ? parent : window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return h;
  };
  const auto radioGroup = [&](const std::string& caption, RECT r, int groupId, int firstId, int count, int columns,
                              const char* const* items, HWND* radios) {
    HWND group = control(L"BUTTON", caption, BS_GROUPBOX, r, groupId);
    for (int i = 0; i < count; ++i) {
      RECT item = ItemRect(i, count, columns, r.right - r.left, r.bottom - r.top);
      OffsetRect(&item, r.left, r.top);
      radios[i] = control(L"BUTTON", items[i], BS_RADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), item, firstId + i);
    }
    return group;
  };

  // Created in tab order.
  buttonActiver_ = control(L"BUTTON", "Activer", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, {16, 16, 169, 41}, kIdActiver);
  buttonDesactiver_ =
      control(L"BUTTON", "Désactiver", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, {16, 48, 169, 73}, kIdDesactiver);
  const char* lumiereTexts[kLumiereItemCount];
  for (int i = 0; i < kLumiereItemCount; ++i) lumiereTexts[i] = kLumiereItems[static_cast<size_t>(i)].text;
  radioGroupLumiere_ = radioGroup("Philips SpeechMike - Lumières", kLumiereRect, kIdLumiereGroup, kIdLumiere0,
                                  kLumiereItemCount, 2, lumiereTexts, lumiere_);
  buttonVideMemo_ = control(L"BUTTON", "Vider la liste des commandes", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                            {16, 80, 169, 105}, kIdVideMemo);
  rgDisplay_ = radioGroup("Affichage ", {248, 11, 433, 42}, kIdDisplayGroup, kIdDisplay0, 2, 2, kDisplayItems.data(),
                          display_);
  buttonExport_ =
      control(L"BUTTON", "Exporter les logs", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, {248, 48, 433, 73}, kIdExport);
  listBoxCmd_ = control(L"LISTBOX", "",
                        WS_BORDER | WS_HSCROLL | WS_TABSTOP | WS_GROUP | LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT |
                            LBS_NOTIFY,
                        kListRect, kIdListBox);
  SendMessageW(listBoxCmd_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
  button1_ = control(L"BUTTON", "ShowMessage de GetTickCount", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                     {536, 40, 777, 65}, kIdButton1);
  label1_ = control(L"STATIC", "Les commandes :", SS_LEFT | WS_GROUP, {16, 128, 16 + 81, 128 + 13}, kIdLabel);
  {
    HDC dc = GetDC(label1_);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE extent{};
    const std::wstring text = L"Les commandes :";
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label1_, dc);
    SetWindowPos(label1_, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER);
  }

  presenter_.Run([&] { presenter_.FormCreate(); });
  Changed();
  return window_;
}

void TFormOrvaneWin32::Show(int showCommand) {
  presenter_.Run([&] { presenter_.FormShow(); });
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
}

void TFormOrvaneWin32::Changed() {
  if (!window_) return;
  EnableWindow(buttonActiver_, presenter_.ButtonActiverEnabled());
  EnableWindow(buttonDesactiver_, presenter_.ButtonDesactiverEnabled());
  EnableWindow(buttonExport_, presenter_.ButtonExportEnabled());
  for (int i = 0; i < kLumiereItemCount; ++i)
    SendMessageW(lumiere_[i], BM_SETCHECK, i == presenter_.LumiereIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
  for (int i = 0; i < 2; ++i)
    SendMessageW(display_[i], BM_SETCHECK, i == presenter_.DisplayIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
  SyncList();
  SetColumnWidth();
}

void TFormOrvaneWin32::SyncList() {
  const auto& lines = presenter_.Lines();
  if (lines == shown_) return;
  const auto add = [&](const std::string& line, int at) {
    SendMessageW(listBoxCmd_, LB_INSERTSTRING, static_cast<WPARAM>(at),
                 reinterpret_cast<LPARAM>(Utf8ToWide(line).c_str()));
  };
  // One event adds one line at the top or at the bottom; anything else is redrawn whole.
  if (lines.size() == shown_.size() + 1 && std::equal(shown_.begin(), shown_.end(), lines.begin() + 1)) {
    add(lines.front(), 0);
  } else if (lines.size() == shown_.size() + 1 && std::equal(shown_.begin(), shown_.end(), lines.begin())) {
    add(lines.back(), -1);
  } else {
    SendMessageW(listBoxCmd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBoxCmd_, LB_RESETCONTENT, 0, 0);
    for (const auto& line : lines) add(line, -1);
    SendMessageW(listBoxCmd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBoxCmd_, nullptr, TRUE);
  }
  shown_ = lines;
}

void TFormOrvaneWin32::SetColumnWidth() {
  RECT client{};
  GetClientRect(listBoxCmd_, &client);
  const int columns = std::max(1, presenter_.Columns());
  SendMessageW(listBoxCmd_, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max<LONG>(1, client.right / columns)), 0);
  InvalidateRect(listBoxCmd_, nullptr, TRUE);
}

void TFormOrvaneWin32::FocusButtonActiver() { SetFocus(buttonActiver_); }

void TFormOrvaneWin32::RequestClose() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void TFormOrvaneWin32::Anchor() {
  RECT client{};
  GetClientRect(window_, &client);
  const int dx = client.right - designClient_.cx;
  const int dy = client.bottom - designClient_.cy;
  const RECT list = ScaledRect(kListRect), lights = ScaledRect(kLumiereRect);
  HDWP positions = BeginDeferWindowPos(2 + kLumiereItemCount);
  positions = DeferWindowPos(positions, listBoxCmd_, nullptr, list.left, list.top,
                             std::max<LONG>(0, list.right - list.left + dx),
                             std::max<LONG>(0, list.bottom - list.top + dy), SWP_NOZORDER);
  positions =
      DeferWindowPos(positions, radioGroupLumiere_, nullptr, lights.left, lights.top + dy, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  for (int i = 0; i < kLumiereItemCount; ++i) {
    RECT item = ItemRect(i, kLumiereItemCount, 2, kLumiereRect.right - kLumiereRect.left,
                         kLumiereRect.bottom - kLumiereRect.top);
    OffsetRect(&item, kLumiereRect.left, kLumiereRect.top);
    item = ScaledRect(item);
    positions = DeferWindowPos(positions, lumiere_[i], nullptr, item.left, item.top + dy, 0, 0,
                               SWP_NOZORDER | SWP_NOSIZE);
  }
  EndDeferWindowPos(positions);
  SetColumnWidth();
}

void TFormOrvaneWin32::Command(int id, int notification) {
  if (notification != BN_CLICKED) return;
  auto& p = presenter_;
  switch (id) {
    case kIdActiver: p.Run([&] { p.ButtonActiverClick(); }); break;
    case kIdDesactiver: p.Run([&] { p.ButtonDesactiverClick(); }); break;
    case kIdVideMemo: p.Run([&] { p.ButtonVideMemoClick(); }); break;
    case kIdExport: p.Run([&] { p.ButtonExportClick(); }); break;
    case kIdButton1: p.Run([&] { p.Button1Click(); }); break;
    default:
      if (id >= kIdLumiere0 && id < kIdLumiere0 + kLumiereItemCount) {
        SetFocus(lumiere_[id - kIdLumiere0]);
        p.Run([&] { p.SelectLumiere(id - kIdLumiere0); });
      } else if (id >= kIdDisplay0 && id < kIdDisplay0 + 2) {
        SetFocus(display_[id - kIdDisplay0]);
        p.Run([&] { p.SelectDisplay(id - kIdDisplay0); });
      }
      Changed();
      break;
  }
}

LRESULT CALLBACK TFormOrvaneWin32::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TFormOrvaneWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT TFormOrvaneWin32::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Anchor();
      return 0;
    case WM_CLOSE:
      // The window closes even when a deactivation step fails: the user asked to quit, and the
      // controller releases the component with the window anyway.
      if (!closing_) {
        closing_ = true;
        presenter_.Run([&] { presenter_.FormClose(); });
        DestroyWindow(window_);
      }
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

}  // namespace orvane
