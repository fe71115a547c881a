# Makes the header of control ids from the dialog templates, the way a
# resource compiler makes one: for every template a namespace Ids::<name>
# holding its template id and the ids of its named controls, and the table
# Ids::Controls of every named control with the class the program expects.
#   cmake -DOUTPUT=<header> -DTEMPLATES=<a.json;b.json;...> -P DialogIds.cmake

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

set(namespaces "")
set(table "")
foreach(file IN LISTS TEMPLATES)
    file(READ "${file}" json)
    string(JSON dialog ERROR_VARIABLE error GET "${json}" id)
    if(error)
        message(FATAL_ERROR "${file}: ${error}")
    endif()
    string(JSON name GET "${json}" name)
    string(APPEND namespaces "namespace ${name} {\ninline constexpr int Template = ${dialog};\n")
    string(JSON count LENGTH "${json}" controls)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last})
        string(JSON control GET "${json}" controls ${i})
        string(JSON controlName ERROR_VARIABLE missing GET "${control}" name)
        if(missing)
            continue()
        endif()
        string(JSON id GET "${control}" id)
        string(JSON kind GET "${control}" kind)
        set(style "")
        string(JSON styles ERROR_VARIABLE noStyle GET "${control}" style)
        if(NOT noStyle)
            string(JSON n LENGTH "${control}" style)
            math(EXPR lastStyle "${n} - 1")
            foreach(j RANGE 0 ${lastStyle})
                string(JSON flag GET "${control}" style ${j})
                list(APPEND style ${flag})
            endforeach()
        endif()
        expected_class("${kind}" "${style}" class)
        string(APPEND namespaces "inline constexpr int ${controlName} = ${id};\n")
        string(APPEND table "    {${dialog}, ${id}, \"${class}\"},\n")
    endforeach()
    string(APPEND namespaces "} // namespace ${name}\n\n")
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
