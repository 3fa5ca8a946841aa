# The texts that a build of the saver may change: the distributor's web address (as shown and
# as opened), the Flash Player download page, and the credit text painted at the top of the
# configuration dialog. Each is one cache variable; vf_write_ui_settings turns them into
# ui/UiSettings.h (C string macros, usable from C++ and the resource script) and the credit
# text into ui/CreditText.h, where it exists only in its scrambled form.

set(DISTRIBUTOR_LINK_TEXT "www.brindlewick.example" CACHE STRING
    "The distributor's web address as the dialogs show it (ASCII, at most 255 characters)")
set(DISTRIBUTOR_URL "http://www.brindlewick.example/" CACHE STRING
    "The distributor's web address as the links open it (ASCII, at most 255 characters)")
set(FLASH_DOWNLOAD_URL "http://www.macromedia.com/go/getflashplayer" CACHE STRING
    "Macromedia's Flash Player download page: text and target of the troubleshooting link")
set(CREDIT_TEXT "Erstellt mit Velliform – © Brindlewick LLC" CACHE STRING
    "The credit text painted at the top of the configuration dialog (UTF-8; must be representable in Windows-1252)")

# Windows-1252 bytes 0x80..0x9F and the code points they stand for; 0xA0..0xFF are Latin-1.
set(_vf_cp1252_high
    20AC:80 201A:82 0192:83 201E:84 2026:85 2020:86 2021:87 02C6:88 2030:89 0160:8A 2039:8B
    0152:8C 017D:8E 2018:91 2019:92 201C:93 201D:94 2022:95 2013:96 2014:97 02DC:98 2122:99
    0161:9A 203A:9B 0153:9C 017E:9E 0178:9F)

function(_vf_hex_to_int hex out)
  math(EXPR value "0x${hex}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# The Windows-1252 bytes of a UTF-8 text, as a list of integers.
function(_vf_cp1252_bytes name text out)
  string(HEX "${text}" hex)
  string(LENGTH "${hex}" hexLength)
  set(bytes "")
  set(i 0)
  while(i LESS hexLength)
    string(SUBSTRING "${hex}" ${i} 2 h)
    _vf_hex_to_int(${h} b0)
    math(EXPR i "${i} + 2")
    if(b0 LESS 128)
      set(cp ${b0})
      set(more 0)
    elseif(b0 GREATER_EQUAL 192 AND b0 LESS 224)
      math(EXPR cp "${b0} & 31")
      set(more 1)
    elseif(b0 GREATER_EQUAL 224 AND b0 LESS 240)
      math(EXPR cp "${b0} & 15")
      set(more 2)
    else()
      message(FATAL_ERROR "${name}: not valid UTF-8, or a character outside Windows-1252")
    endif()
    while(more GREATER 0)
      if(i GREATER_EQUAL hexLength)
        message(FATAL_ERROR "${name}: not valid UTF-8")
      endif()
      string(SUBSTRING "${hex}" ${i} 2 h)
      _vf_hex_to_int(${h} bk)
      math(EXPR i "${i} + 2")
      math(EXPR cp "(${cp} << 6) | (${bk} & 63)")
      math(EXPR more "${more} - 1")
    endwhile()
    if(cp LESS 32 OR cp EQUAL 127)
      message(FATAL_ERROR "${name}: control characters are not allowed")
    elseif(cp LESS 128 OR (cp GREATER_EQUAL 160 AND cp LESS 256))
      list(APPEND bytes ${cp})
    else()
      math(EXPR cpHex "${cp}" OUTPUT_FORMAT HEXADECIMAL)
      string(SUBSTRING "${cpHex}" 2 -1 cpHex)
      string(TOUPPER "${cpHex}" cpHex)
      string(LENGTH "${cpHex}" n)
      while(n LESS 4)
        string(PREPEND cpHex "0")
        math(EXPR n "${n} + 1")
      endwhile()
      set(entry "")
      foreach(e ${_vf_cp1252_high})
        if(e MATCHES "^${cpHex}:(..)$")
          set(entry ${CMAKE_MATCH_1})
        endif()
      endforeach()
      if(entry STREQUAL "")
        message(FATAL_ERROR "${name}: U+${cpHex} has no Windows-1252 byte")
      endif()
      _vf_hex_to_int(${entry} b)
      list(APPEND bytes ${b})
    endif()
  endwhile()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# A C string literal of the bytes, every byte as a three-digit octal escape, so that the
# literal means the same bytes whatever the compiler's source and execution character sets.
function(_vf_c_literal bytes out)
  set(literal "\"")
  foreach(b ${bytes})
    math(EXPR d2 "${b} >> 6")
    math(EXPR d1 "(${b} >> 3) & 7")
    math(EXPR d0 "${b} & 7")
    string(APPEND literal "\\${d2}${d1}${d0}")
  endforeach()
  set(${out} "${literal}\"" PARENT_SCOPE)
endfunction()

# The stored form: reversed, ASCII letters with their case swapped, 0x1F subtracted from each
# byte (modulo 256). UnscrambleCreditText undoes the three steps in the opposite order.
function(_vf_scramble bytes out)
  set(result "")
  foreach(b ${bytes})
    if(b GREATER_EQUAL 65 AND b LESS_EQUAL 90)
      math(EXPR b "${b} + 32")
    elseif(b GREATER_EQUAL 97 AND b LESS_EQUAL 122)
      math(EXPR b "${b} - 32")
    endif()
    math(EXPR b "(${b} + 256 - 31) % 256")
    list(PREPEND result ${b})
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# A web address setting: ASCII without control characters, at most 255 characters, so that it
# fits the dialogs' 256-byte buffers and reads the same in the resource script and the code.
function(_vf_ascii_setting name out)
  set(text "${${name}}")
  string(LENGTH "${text}" n)
  if(n EQUAL 0 OR n GREATER 255)
    message(FATAL_ERROR "${name} must hold 1 to 255 characters")
  endif()
  if(NOT text MATCHES "^[ -~]+$")
    message(FATAL_ERROR "${name} must be printable ASCII (give an international domain in its xn-- form)")
  endif()
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

function(vf_write_ui_settings dir)
  _vf_ascii_setting(DISTRIBUTOR_LINK_TEXT linkText)
  _vf_ascii_setting(DISTRIBUTOR_URL url)
  _vf_ascii_setting(FLASH_DOWNLOAD_URL flashUrl)
  file(CONFIGURE OUTPUT ${dir}/ui/UiSettings.h CONTENT
"// Generated from the build's cache variables (src/ui/UiSettings.cmake); do not edit.
#pragma once
#define DISTRIBUTOR_LINK_TEXT ${linkText}
#define DISTRIBUTOR_URL ${url}
#define FLASH_DOWNLOAD_URL ${flashUrl}
")

  _vf_cp1252_bytes(CREDIT_TEXT "${CREDIT_TEXT}" plain)
  _vf_scramble("${plain}" scrambled)
  _vf_c_literal("${scrambled}" scrambledLiteral)
  _vf_c_literal("${plain}" plainLiteral)
  file(CONFIGURE OUTPUT ${dir}/ui/CreditText.h CONTENT
"// Generated from CREDIT_TEXT (src/ui/UiSettings.cmake); do not edit.
#pragma once
// The credit text in Windows-1252, stored scrambled; UnscrambleCreditText gives the text.
#define CREDIT_TEXT_SCRAMBLED ${scrambledLiteral}
")
  # For the tests only: the program itself never holds the plain text.
  file(CONFIGURE OUTPUT ${dir}/ui/CreditTextPlain.h CONTENT
"// Generated from CREDIT_TEXT (src/ui/UiSettings.cmake); do not edit. Tests only.
#pragma once
#define CREDIT_TEXT_PLAIN_CP1252 ${plainLiteral}
")
endfunction()
