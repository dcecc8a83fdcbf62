"""Shared drawing helpers for the build-time art generators (Pillow only)."""
