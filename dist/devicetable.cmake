# Generates, from the shipped device table (apConfig.bin, INI format), the
# udev rule that lets the logged-in user open the listed mice, and the
# AppStream metainfo that names them as supported hardware.
#
#   cmake -DTABLE=<apConfig.bin> -DRULES=<out.rules>
#         [-DMETAINFO_IN=<in.xml> -DMETAINFO=<out.xml>] -P devicetable.cmake
#
# Rows are read as the program reads them: common/deviceCount sections
# named 0, 1, ...; vid and pid as hexadecimal text. A row whose vid or pid is
# missing, not hexadecimal, zero or wider than 16 bits gets no rule (the
# program would take 0 as "any device"; no rule may open every hidraw node).

cmake_minimum_required(VERSION 3.25)

if(NOT TABLE OR NOT RULES)
  message(FATAL_ERROR "usage: cmake -DTABLE=<apConfig.bin> -DRULES=<out.rules> -P devicetable.cmake")
endif()

file(STRINGS "${TABLE}" lines)
set(section "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^\\[(.*)\\]$")
    set(section "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^([^=]+)=(.*)$")
    string(STRIP "${CMAKE_MATCH_1}" key)
    string(STRIP "${CMAKE_MATCH_2}" value)
    if(value MATCHES "^\"(.*)\"$")
      set(value "${CMAKE_MATCH_1}")
    endif()
    # Section and key names are case-sensitive in Qt's INI files.
    string(MAKE_C_IDENTIFIER "${section}__${key}" var)
    set("ini_${var}" "${value}")
  endif()
endforeach()

set(count 0)
if(DEFINED ini_common__deviceCount AND ini_common__deviceCount MATCHES "^[0-9]+$")
  set(count ${ini_common__deviceCount})
endif()
# The program reads at most 256 rows.
if(count GREATER 256)
  set(count 256)
endif()

# Four lower-case hexadecimal digits, as udev shows idVendor/idProduct;
# empty for anything the program would not read as a real id.
function(normalise_id text out)
  set(${out} "" PARENT_SCOPE)
  if(NOT text MATCHES "^(0[xX])?[0-9a-fA-F]+$")
    return()
  endif()
  string(REGEX REPLACE "^0[xX]" "" digits "${text}")
  string(REGEX REPLACE "^0+" "" digits "${digits}")
  string(LENGTH "${digits}" length)
  if(length EQUAL 0 OR length GREATER 4)
    return()
  endif()
  string(TOLOWER "${digits}" digits)
  while(length LESS 4)
    string(PREPEND digits "0")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${out} "${digits}" PARENT_SCOPE)
endfunction()

set(rules "# Generated from the device table modules/setting/apConfig.bin; do not edit.
# Lets the user at the seat open the HID interfaces of the mice Skarn Config
# serves. Numbered below 73 so that uaccess is applied after it.
")
set(modaliases "")
set(seen "")
math(EXPR last "${count} - 1")
if(count GREATER 0)
  foreach(i RANGE ${last})
    string(MAKE_C_IDENTIFIER "${i}__vid" vkey)
    string(MAKE_C_IDENTIFIER "${i}__pid" pkey)
    normalise_id("${ini_${vkey}}" vid)
    normalise_id("${ini_${pkey}}" pid)
    if(vid STREQUAL "" OR pid STREQUAL "")
      message(WARNING "device table row ${i}: no valid vid/pid, no rule")
      continue()
    endif()
    if("${vid}:${pid}" IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${vid}:${pid}")
    string(APPEND rules
      "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"${vid}\", ATTRS{idProduct}==\"${pid}\", TAG+=\"uaccess\"\n")
    string(TOUPPER "${vid}" V)
    string(TOUPPER "${pid}" P)
    string(APPEND modaliases "    <modalias>usb:v${V}p${P}d*</modalias>\n")
  endforeach()
endif()

# Rewritten only when the content changes, so dependants do not rebuild.
file(WRITE "${RULES}.tmp" "${rules}")
file(COPY_FILE "${RULES}.tmp" "${RULES}" ONLY_IF_DIFFERENT)
file(REMOVE "${RULES}.tmp")

if(METAINFO_IN AND METAINFO)
  string(STRIP "${modaliases}" SKARN_MODALIASES)
  configure_file("${METAINFO_IN}" "${METAINFO}" @ONLY)
endif()
