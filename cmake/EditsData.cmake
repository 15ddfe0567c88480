# Where the payers' lists come from (MS-DRG CC/MCC, Medicare Code Editor, CMS-HCC V28, POA
# exempt; see edits/). Never part of the repository.
set(_edits_candidates
  "${CMAKE_SOURCE_DIR}/../shared/edits"
  "/work/shared/edits")
set(_edits_default "")
foreach(_c IN LISTS _edits_candidates)
  if(IS_DIRECTORY "${_c}" AND _edits_default STREQUAL "")
    get_filename_component(_edits_default "${_c}" ABSOLUTE)
  endif()
endforeach()
set(MORBIVUE_EDITS_DIR "${_edits_default}" CACHE PATH
  "Folder of the payers' lists (msdrg_v43_cc_mcc.tsv, mce_v43_1_dx_edits.tsv, cms_hcc_v28_*.tsv, poa_exempt_fy2025.txt)")
if(NOT IS_DIRECTORY "${MORBIVUE_EDITS_DIR}")
  message(FATAL_ERROR
    "Payers' lists folder not found (MORBIVUE_EDITS_DIR='${MORBIVUE_EDITS_DIR}').\n"
    "Configure with -DMORBIVUE_EDITS_DIR=/path/to/folder holding the CMS lists named in data/README.md")
endif()
