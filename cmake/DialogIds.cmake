# Makes the header of control ids from the dialog templates, the way a
# resource compiler makes one: for every template a namespace Ids::<name>
# holding its template id and the ids of its named controls, and the table
# Ids::Controls of every named control with the class the program expects.
# With TABLE it also writes the templates themselves as C++ data, which the
# program builds its windows from (see src/ui/DialogTemplate.cpp), so no
# template is read or parsed while the program runs.
#   cmake -DOUTPUT=<header> [-DTABLE=<file>] -DTEMPLATES=<a.json;b.json;...> -P DialogIds.cmake

cmake_minimum_required(VERSION 3.25)

function(expected_class kind style out)
    set(class "")
    if(kind STREQUAL "static" OR kind STREQUAL "icon")
        set(class QLabel)
    elseif(kind STREQUAL "group")
        set(class QGroupBox)
    elseif(kind STREQUAL "edit")
        if("multiline" IN_LIST style)
            set(class QPlainTextEdit)
        else()
            set(class QLineEdit)
        endif()
    elseif(kind STREQUAL "button")
        set(class QPushButton)
    elseif(kind STREQUAL "combo")
        set(class QComboBox)
    elseif(kind STREQUAL "tab")
        set(class TabControl)
    elseif(kind STREQUAL "browser")
        set(class QTextBrowser)
    elseif(kind STREQUAL "list")
        set(class QTableWidget)
    else()
        message(FATAL_ERROR "unknown control kind \"${kind}\"")
    endif()
    set(${out} ${class} PARENT_SCOPE)
endfunction()

# The enumerator of a control kind or a style flag in the table.
set(kind_names static Static icon Icon group Group edit Edit button Button combo Combo
    tab Tab browser Browser list List)
set(style_names center Center right Right multiline Multiline readonly ReadOnly
    vscroll VScroll autovscroll AutoVScroll autohscroll AutoHScroll noborder NoBorder
    wantreturn WantReturn default Default dropdown DropDown dropdownlist DropDownList
    sorted Sorted disabled Disabled hidden Hidden)
function(enumerator names value what out)
    list(FIND names "${value}" at)
    math(EXPR odd "${at} % 2")
    if(at EQUAL -1 OR odd)
        message(FATAL_ERROR "${what}: unknown \"${value}\"")
    endif()
    math(EXPR at "${at} + 1")
    list(GET names ${at} name)
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# A C++ string literal of a UTF-8 text.
function(literal text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

set(namespaces "")
set(table "")
set(data "")
set(dialogs "")
foreach(file IN LISTS TEMPLATES)
    file(READ "${file}" json)
    string(JSON dialog ERROR_VARIABLE error GET "${json}" id)
    if(error)
        message(FATAL_ERROR "${file}: ${error}")
    endif()
    string(JSON name GET "${json}" name)
    string(APPEND namespaces "namespace ${name} {\ninline constexpr int Template = ${dialog};\n")
    set(controls "")
    string(JSON count LENGTH "${json}" controls)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last})
        string(JSON control GET "${json}" controls ${i})
        string(JSON id ERROR_VARIABLE noId GET "${control}" id)
        if(noId)
            set(id -1)
        endif()
        string(JSON kind GET "${control}" kind)
        set(style "")
        set(styleBits "")
        string(JSON styles ERROR_VARIABLE noStyle GET "${control}" style)
        if(NOT noStyle)
            string(JSON n LENGTH "${control}" style)
            math(EXPR lastStyle "${n} - 1")
            foreach(j RANGE 0 ${lastStyle})
                string(JSON flag GET "${control}" style ${j})
                list(APPEND style ${flag})
                enumerator("${style_names}" "${flag}" "${file}: style" bit)
                list(APPEND styleBits "Style::${bit}")
            endforeach()
        endif()
        expected_class("${kind}" "${style}" class)
        string(JSON controlName ERROR_VARIABLE unnamed GET "${control}" name)
        if(NOT unnamed)
            string(APPEND namespaces "inline constexpr int ${controlName} = ${id};\n")
            string(APPEND table "    {${dialog}, ${id}, \"${class}\"},\n")
        endif()

        enumerator("${kind_names}" "${kind}" "${file}: control kind" kindName)
        string(JSON text ERROR_VARIABLE noText GET "${control}" text)
        if(noText)
            set(text "")
        endif()
        literal("${text}" text)
        set(rect "")
        foreach(k RANGE 0 3)
            string(JSON v GET "${control}" rect ${k})
            list(APPEND rect ${v})
        endforeach()
        list(JOIN rect ", " rect)
        if(styleBits)
            list(JOIN styleBits " | " styleBits)
        else()
            set(styleBits 0)
        endif()
        set(items "nullptr, 0")
        string(JSON itemCount ERROR_VARIABLE noItems LENGTH "${control}" items)
        if(NOT noItems AND itemCount GREATER 0)
            set(itemTexts "")
            math(EXPR lastItem "${itemCount} - 1")
            foreach(k RANGE 0 ${lastItem})
                string(JSON item GET "${control}" items ${k})
                literal("${item}" item)
                list(APPEND itemTexts "${item}")
            endforeach()
            list(JOIN itemTexts ", " itemTexts)
            string(APPEND data "inline constexpr const char* Items${dialog}_${i}[] = {${itemTexts}};\n")
            set(items "Items${dialog}_${i}, ${itemCount}")
        endif()
        string(APPEND controls "    {Kind::${kindName}, ${id}, ${text}, {${rect}}, ${styleBits}, ${items}},\n")
    endforeach()
    string(APPEND namespaces "} // namespace ${name}\n\n")

    string(APPEND data "inline constexpr Control Controls${dialog}[] = {\n${controls}};\n")
    string(JSON caption ERROR_VARIABLE noCaption GET "${json}" caption)
    if(noCaption)
        set(caption "")
    endif()
    literal("${caption}" caption)
    string(JSON dialogStyle ERROR_VARIABLE noDialogStyle GET "${json}" style)
    set(child false)
    if(NOT noDialogStyle AND dialogStyle STREQUAL "child")
        set(child true)
    endif()
    string(JSON width GET "${json}" size 0)
    string(JSON height GET "${json}" size 1)
    string(JSON face ERROR_VARIABLE noFace GET "${json}" font face)
    if(noFace)
        set(face "")
    endif()
    literal("${face}" face)
    string(JSON points ERROR_VARIABLE noPoints GET "${json}" font points)
    if(noPoints)
        set(points 12)
    endif()
    string(APPEND dialogs "    {${dialog}, ${caption}, ${child}, ${width}, ${height}, ${face}, ${points}, "
                          "Controls${dialog}, ${count}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Made by the build from res/dialogs/*.json: edit the templates, not this file.
#pragma once

namespace Ids {

${namespaces}struct Control
{
    int dialog;
    int id;
    const char* className;
};

inline constexpr Control Controls[] = {
${table}};

} // namespace Ids
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")

if(NOT TABLE)
    return()
endif()
set(kinds "")
foreach(k IN LISTS kind_names)
    if(k MATCHES "^[A-Z]")
        string(APPEND kinds "    ${k},\n")
    endif()
endforeach()
set(flags "")
set(bit 0)
foreach(f IN LISTS style_names)
    if(f MATCHES "^[A-Z]")
        string(APPEND flags "    ${f} = 1u << ${bit},\n")
        math(EXPR bit "${bit} + 1")
    endif()
endforeach()
file(WRITE "${TABLE}.tmp" "// Made by the build from res/dialogs/*.json: edit the templates, not this file.
#pragma once

// The dialog templates as data: texts in UTF-8, rectangles and sizes in
// dialog units.
namespace Ui::Templates {

enum class Kind
{
${kinds}};

enum Style : unsigned
{
${flags}};

struct Control
{
    Kind kind;
    int id;
    const char* text;
    int rect[4];
    unsigned style;
    const char* const* items;
    int itemCount;
};

struct Dialog
{
    int id;
    const char* caption;
    bool child;
    int width;
    int height;
    const char* face;
    int points;
    const Control* controls;
    int controlCount;
};

${data}
inline constexpr Dialog Dialogs[] = {
${dialogs}};

} // namespace Ui::Templates
")
file(COPY_FILE "${TABLE}.tmp" "${TABLE}" ONLY_IF_DIFFERENT)
file(REMOVE "${TABLE}.tmp")
