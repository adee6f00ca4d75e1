# Writes the control table of form/dialog_template.h from the dialog template, so that the Qt
# window is built from the very rows the Windows program's resource compiler reads.
#   cmake -DTEMPLATE=main_dialog.rc -DOUTPUT=main_dialog_rows.cpp -P dialog_rows.cmake
# A control of a class or button style the table has no kind for stops the build.
cmake_minimum_required(VERSION 3.21)

file(STRINGS ${TEMPLATE} lines)
set(rows "")
set(title "")
set(size "")
foreach(line IN LISTS lines)
    if(line MATCHES "^IDD_MAIN DIALOGEX [0-9]+, [0-9]+, ([0-9]+), ([0-9]+)$")
        set(size "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}")
    elseif(line MATCHES "^CAPTION \"([^\"]*)\"$")
        set(title "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^ *CONTROL \"([^\"]*)\", ([A-Za-z0-9_]+), \"([A-Za-z]+)\", ([^,]+), ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)(, [A-Z_| ]+)?$")
        set(caption "${CMAKE_MATCH_1}")
        set(id "${CMAKE_MATCH_2}")
        string(TOUPPER "${CMAKE_MATCH_3}" class)
        set(rect "${CMAKE_MATCH_5}, ${CMAKE_MATCH_6}, ${CMAKE_MATCH_7}, ${CMAKE_MATCH_8}")
        string(REPLACE "|" ";" styles "${CMAKE_MATCH_4}${CMAKE_MATCH_9}")
        string(REPLACE "," ";" styles "${styles}")
        list(TRANSFORM styles STRIP)
        set(kind "")
        if(class STREQUAL "COMBOBOX")
            set(kind ComboBox)
        elseif(class STREQUAL "EDIT")
            set(kind Edit)
        elseif(class STREQUAL "STATIC")
            set(kind Label)
        elseif(class STREQUAL "BUTTON")
            foreach(pair BS_PUSHBUTTON=PushButton BS_GROUPBOX=GroupBox BS_AUTOCHECKBOX=CheckBox BS_AUTORADIOBUTTON=RadioButton)
                string(REPLACE "=" ";" pair ${pair})
                list(GET pair 0 buttonStyle)
                if(buttonStyle IN_LIST styles)
                    list(GET pair 1 kind)
                endif()
            endforeach()
        endif()
        if(kind STREQUAL "")
            message(FATAL_ERROR "${TEMPLATE}: ${id} (${class}) is of a kind the control table has no row for")
        endif()
        set(style "")
        if("SS_RIGHT" IN_LIST styles OR "WS_EX_RIGHT" IN_LIST styles)
            list(APPEND style kRightAligned)
        endif()
        if("ES_UPPERCASE" IN_LIST styles)
            list(APPEND style kUppercase)
        endif()
        if("ES_NUMBER" IN_LIST styles)
            list(APPEND style kDigitsOnly)
        endif()
        if(style STREQUAL "")
            set(style kPlain)
        endif()
        list(JOIN style " | " style)
        string(APPEND rows "    {${id}, \"${id}\", ControlClass::${kind}, \"${caption}\", ${rect}, ${style}},\n")
    elseif(line MATCHES "^ *CONTROL ")
        message(FATAL_ERROR "${TEMPLATE}: a CONTROL statement not in the form this script reads: ${line}")
    endif()
endforeach()
if(size STREQUAL "" OR title STREQUAL "" OR rows STREQUAL "")
    message(FATAL_ERROR "${TEMPLATE}: no IDD_MAIN DIALOGEX with a CAPTION and CONTROL rows")
endif()

file(WRITE ${OUTPUT} "// Made by form/dialog_rows.cmake from form/main_dialog.rc: edit the template, not this file.
#include \"form/control_ids.h\"
#include \"form/dialog_template.h\"

namespace {

const ControlRow kRows[] = {
${rows}};

}  // namespace

const DialogTemplate kMainDialog = {\"${title}\", ${size}, kRows, sizeof kRows / sizeof kRows[0]};
")
