# Where the Official Guidelines for Coding and Reporting come from, as text (see guidelines/).
# Never part of the repository.
set(_guidelines_candidates
  "${CMAKE_SOURCE_DIR}/../shared/guidelines/icd10cm_guidelines_FY2026.txt"
  "/work/shared/guidelines/icd10cm_guidelines_FY2026.txt")
set(_guidelines_default "")
foreach(_c IN LISTS _guidelines_candidates)
  if(EXISTS "${_c}" AND _guidelines_default STREQUAL "")
    get_filename_component(_guidelines_default "${_c}" ABSOLUTE)
  endif()
endforeach()
set(MORBIVUE_GUIDELINES_TXT "${_guidelines_default}" CACHE FILEPATH
  "ICD-10-CM Official Guidelines for Coding and Reporting, FY2026, as UTF-8 text")
if(NOT EXISTS "${MORBIVUE_GUIDELINES_TXT}")
  message(FATAL_ERROR
    "Official Guidelines text not found (MORBIVUE_GUIDELINES_TXT='${MORBIVUE_GUIDELINES_TXT}').\n"
    "Configure with -DMORBIVUE_GUIDELINES_TXT=/path/to/icd10cm_guidelines_FY2026.txt (data/README.md)")
endif()
