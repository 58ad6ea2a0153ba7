// The hidden files the writer makes beside a target, and the table of those still being
// written, which a program ending on a signal removes. For the writer's own use.
#pragma once

#include <string>

namespace tavrelo {

// ".NAME.XXXXXX", the hidden name of a file that is to become ANome, or that keeps ANome's
// older file aside, in the folder APasta: ANome is shortened (never inside a character) where
// the whole would be longer than that folder allows a name to be.
std::string ModeloEscondido(int APasta, const std::string& ANome);

// Fills the last six characters of ANome with letters and digits drawn at random.
void NomeAoAcaso(std::string& ANome) noexcept;

// Puts the temporary file ANome of the folder APasta in the table; the place it took, or -1
// when the table is full (the file is then still written; only the quick clean-up misses it).
int RegistarTemporario(int APasta, const std::string& ANome) noexcept;
// Takes the place ALugar of the table back (-1: nothing to do).
void RetirarTemporario(int ALugar) noexcept;

} // namespace tavrelo
