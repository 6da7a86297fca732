#pragma once

// The short unsigned names used throughout the base library's interfaces.
using uint = unsigned int;
using ushort = unsigned short;
