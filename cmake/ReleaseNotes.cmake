# Reads the newest entry of CHANGELOG.md, so that the software centre's
# release notes and the Debian changelog say what the changelog says.
#
# pagesmith_read_release_notes(<CHANGELOG.md>) sets, in the caller's scope:
#   PAGESMITH_RELEASE_VERSION  the version of the newest "## [X.Y.Z] - DATE"
#   PAGESMITH_RELEASE_DATE     its date, YYYY-MM-DD
#   PAGESMITH_RELEASE_XML      the entry as an AppStream description
#   PAGESMITH_RELEASE_DEBIAN   the entry as the lines of a Debian changelog item
#
# The entry may hold "### Group" headings, "- " items (continued on indented
# lines) and plain paragraphs. Backticks are dropped; links are not expected.

function(pagesmith_xml_text text result)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "`" "" text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# Fills text into lines of at most 78 characters, the first starting with
# first, the others with rest.
function(pagesmith_wrap text first rest result)
    string(REPLACE "`" "" text "${text}")
    string(REGEX REPLACE " +" ";" words "${text}")
    set(out "")
    set(line "${first}")
    set(fresh TRUE)
    foreach(word IN LISTS words)
        string(LENGTH "${line} ${word}" length)
        if(fresh)
            string(APPEND line "${word}")
            set(fresh FALSE)
        elseif(length GREATER 78)
            string(APPEND out "${line}\n")
            set(line "${rest}${word}")
        else()
            string(APPEND line " ${word}")
        endif()
    endforeach()
    set(${result} "${out}${line}\n" PARENT_SCOPE)
endfunction()

function(pagesmith_read_release_notes changelog)
    file(READ "${changelog}" content)
    # Lines become list items: a semicolon of the text is kept aside first.
    string(REPLACE ";" "@SEMICOLON@" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")

    set(version "")
    set(xml "")
    set(debian "")
    set(pending "") # the paragraph or item being read
    set(pendingKind "")
    set(inList FALSE)
    # An empty line at the end closes whatever is pending.
    list(APPEND lines "" "## end")
    foreach(line IN LISTS lines)
        string(REPLACE "@SEMICOLON@" ";" line "${line}")
        set(continues FALSE)
        if(pending AND line MATCHES "^  +([^ ].*)$")
            set(continues TRUE)
            string(APPEND pending " ${CMAKE_MATCH_1}")
        elseif(pending AND pendingKind STREQUAL "p" AND line MATCHES "^[^-#].*[^ ]")
            set(continues TRUE)
            string(APPEND pending " ${line}")
        endif()
        if(continues)
            continue()
        endif()

        # The line starts something new: finish what was pending.
        if(pending)
            pagesmith_xml_text("${pending}" text)
            if(pendingKind STREQUAL "li")
                string(APPEND xml "    <li>${text}</li>\n")
                pagesmith_wrap("${pending}" "    - " "      " wrapped)
            else()
                string(APPEND xml "  <p>${text}</p>\n")
                pagesmith_wrap("${pending}" "  * " "    " wrapped)
            endif()
            string(APPEND debian "${wrapped}")
            set(pending "")
        endif()
        if(inList AND NOT line MATCHES "^- ")
            string(APPEND xml "  </ul>\n")
            set(inList FALSE)
        endif()

        if(line MATCHES "^## ")
            if(version)
                break()
            endif()
            if(line MATCHES "^## \\[([0-9]+\\.[0-9]+\\.[0-9]+)\\] - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
                set(version "${CMAKE_MATCH_1}")
                set(date "${CMAKE_MATCH_2}")
            endif()
        elseif(NOT version)
            continue()
        elseif(line MATCHES "^### (.+)$")
            pagesmith_xml_text("${CMAKE_MATCH_1}" text)
            string(APPEND xml "  <p>${text}:</p>\n")
            string(APPEND debian "  * ${CMAKE_MATCH_1}:\n")
        elseif(line MATCHES "^- (.+)$")
            if(NOT inList)
                string(APPEND xml "  <ul>\n")
                set(inList TRUE)
            endif()
            set(pending "${CMAKE_MATCH_1}")
            set(pendingKind "li")
        elseif(line MATCHES "[^ ]")
            set(pending "${line}")
            set(pendingKind "p")
        endif()
    endforeach()

    if(NOT version)
        message(FATAL_ERROR "${changelog} has no entry \"## [X.Y.Z] - YYYY-MM-DD\"")
    endif()
    set(PAGESMITH_RELEASE_VERSION "${version}" PARENT_SCOPE)
    set(PAGESMITH_RELEASE_DATE "${date}" PARENT_SCOPE)
    set(PAGESMITH_RELEASE_XML "${xml}" PARENT_SCOPE)
    set(PAGESMITH_RELEASE_DEBIAN "${debian}" PARENT_SCOPE)
endfunction()
