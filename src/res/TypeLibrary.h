#pragma once
// The type library VireoLib: the IDs of the library, its dispatch interfaces and the control's
// class, and the library's description with help strings and members. The module registers
// it, and the control's dispatch interface answers names and IDs from it.

#include "framework/TypeLibrary.h"

// {4A909070-419F-4835-9A8F-DB0ACC419C54}
inline constexpr GUID LIBID_VireoLib = {
    0x4A909070, 0x419F, 0x4835, {0x9A, 0x8F, 0xDB, 0x0A, 0xCC, 0x41, 0x9C, 0x54}};
// {EB041560-6CF5-40B0-9282-44F12F2B582A}
inline constexpr IID DIID__DVireo = {
    0xEB041560, 0x6CF5, 0x40B0, {0x92, 0x82, 0x44, 0xF1, 0x2F, 0x2B, 0x58, 0x2A}};
// {FD685864-C391-4C46-ADE5-7B67EADC6050}
inline constexpr IID DIID__DVireoEvents = {
    0xFD685864, 0xC391, 0x4C46, {0xAD, 0xE5, 0x7B, 0x67, 0xEA, 0xDC, 0x60, 0x50}};
// {828CBF24-AAD1-4C20-85A9-9F704A89C333}
inline constexpr CLSID CLSID_Vireo = {
    0x828CBF24, 0xAAD1, 0x4C20, {0x85, 0xA9, 0x9F, 0x70, 0x4A, 0x89, 0xC3, 0x33}};

namespace res {

// VireoLib 1.0, English (United States), a library of controls.
const platform::TypeLibrary& VireoTypeLibrary();
// Its dispatch interface _DVireo.
const platform::TypeDescription& DispatchInterface();

}  // namespace res
