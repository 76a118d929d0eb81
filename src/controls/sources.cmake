# The program's own controls (numeric edits, image button, database picture).
target_sources(pv_ui PRIVATE
)
