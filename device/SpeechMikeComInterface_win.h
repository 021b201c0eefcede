#pragma once
// The Philips SpeechMike control as COM knows it: its class, its dual interface and its event
// interface. The operations sit in the interface's table after IUnknown (0-2) and IDispatch
// (3-6); the system calls slots 7 to 10 and 18, and declares the others only to keep the layout.

#include <oaidl.h>
#include <windows.h>

namespace orvane {

// {AAA44754-CC81-4692-91AF-7064E58EB22A}
inline constexpr CLSID kClsidSpeechMikeControl = {0xAAA44754, 0xCC81, 0x4692, {0x91, 0xAF, 0x70, 0x64, 0xE5, 0x8E, 0xB2, 0x2A}};
// {D153FC68-6086-4AC4-BB4D-B2E042988A41}
inline constexpr IID kIidSpeechMikeControl = {0xD153FC68, 0x6086, 0x4AC4, {0xBB, 0x4D, 0xB2, 0xE0, 0x42, 0x98, 0x8A, 0x41}};
// {D7540EDE-E5D5-422C-AD4A-A7324431F640}, a dispatch interface: events by dispatch id 1 to 12.
inline constexpr IID kDiidSpeechMikeEvents = {0xD7540EDE, 0xE5D5, 0x422C, {0xAD, 0x4A, 0xA7, 0x32, 0x44, 0x31, 0xF6, 0x40}};

struct ISpeechMikeControl : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE InitializeDevice(LONG mode) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE DeactivateDevice() = 0;           // 8
  virtual HRESULT STDMETHODCALLTYPE ActivateDevice() = 0;             // 9
  virtual HRESULT STDMETHODCALLTYPE UninitializeDevice() = 0;         // 10
  // 11 to 17: operations the system never calls.
  virtual HRESULT STDMETHODCALLTYPE NotCalled5() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled6() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled7() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled8() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled9() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled10() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotCalled11() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDisplayState(LONG device, LONG state) = 0;  // 18
};

}  // namespace orvane
